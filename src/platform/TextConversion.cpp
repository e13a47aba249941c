#include "platform/TextConversion.h"

#include "platform/Platform.h"

MyGUI::UString toUTFString(const std::string& text)
{
    return MyGUI::UString(platform::cp1252ToUtf8(text));
}
