#pragma once
// Values put into a language text at its named places, written "{name}": a translation
// may order the places as its grammar needs, or leave one out.

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace brantle {

using TextValue = std::pair<std::string_view, std::string>;

// Each "{name}" of text whose name is among values is replaced by its value; other
// braces stay as they are. Values are not searched again, so a value that holds
// "{name}" itself comes out as it is.
std::string FillText(const std::string& text, std::initializer_list<TextValue> values);

}  // namespace brantle
