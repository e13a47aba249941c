#pragma once
#include <MyGUI_UString.h>

#include <string>

// The game's 8-bit text (Windows-1252) as a GUI string.
MyGUI::UString toUTFString(const std::string& text);
