#version 120
attribute vec4 position;
attribute vec4 uv0;
attribute vec4 colour;
uniform mat4 worldViewProj;
varying vec4 outUV0;
varying vec4 outColor;
void main()
{
    gl_Position = worldViewProj * position;
    outUV0 = uv0;
    outColor = colour;
}
