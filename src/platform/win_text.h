// UTF-8, as the engine holds all text, to and from the UTF-16 of Windows' wide calls.
#pragma once

#include <string>

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
