#version 120
uniform sampler2D sampleTexture;
varying vec4 outUV0;
varying vec4 outColor;
void main()
{
    gl_FragColor = outColor * texture2D(sampleTexture, outUV0.xy);
}
