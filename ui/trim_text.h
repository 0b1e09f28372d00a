// White space removed at both ends of a text in the system's multibyte code page: the text
// is walked character by character, so the second byte of a double-byte character is never
// taken for a blank of its own.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

using LeadByteTest = std::function<bool(unsigned char)>;

std::string TrimWhiteSpace(const std::string& text, const LeadByteTest& isLeadByte);
