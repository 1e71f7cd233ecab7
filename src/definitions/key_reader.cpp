#include "definitions/key_reader.h"

#include "support/number.h"
#include "support/text.h"

namespace vantrel {

std::string KeyReader::Text(std::string_view key, std::string_view def) const {
  if (store_.WatchLookups) store_.WatchLookups(section_, key);
  return GetKeyIn(store_, range_, key, def);
}

bool KeyReader::Flag(std::string_view key, std::string_view def) const {
  return ToUpper(Text(key, def)) == "TRUE";
}

double KeyReader::Number(std::string_view key, std::string_view def) const {
  return Val(Text(key, def));
}

double KeyReader::NumberIn(std::string_view key, std::string_view def, double low,
                           double high) const {
  const std::string value = Text(key, def);
  const double n = Val(value);
  if (n >= low && n <= high) return n;
  Rejected(key, value, def,
           "is outside the range " + FormatGeneral(low) + " to " + FormatGeneral(high));
  return Val(def);
}

int16_t KeyReader::Integer(std::string_view key, std::string_view def) const {
  const std::string value = Text(key, def);
  if (const auto n = IntegerOf(value)) return *n;
  return Rejected(key, value, def, "is outside the range -32768 to 32767");
}

int16_t KeyReader::WholeNumber(std::string_view key, std::string_view def) const {
  const std::string value = Text(key, def);
  if (const auto n = WholeNumberOf(value)) return *n;
  return Rejected(key, value, def, "is not a whole number from -32768 to 32767");
}

std::vector<std::string> KeyReader::List(std::string_view text, std::string_view key) const {
  constexpr std::size_t kMaxElements = 32767;
  std::vector<std::string> list = SplitList(text);
  if (list.size() > kMaxElements) {
    prompter_.Tell("The list of " + std::string(key) + " in " + section_ + " has " +
                       std::to_string(list.size()) +
                       " elements, more than the program can count.\r\rOnly the first " +
                       std::to_string(kMaxElements) + " are used.",
                   {}, PromptIcon::Exclamation);
    list.resize(kMaxElements);
  }
  return list;
}

int16_t KeyReader::Rejected(std::string_view key, const std::string& value, std::string_view def,
                            const std::string& why) const {
  prompter_.Tell("The value '" + value + "' of " + std::string(key) + " in " + section_ + " " +
                     why + ".\r\rThe default " + std::string(def) + " is used instead.",
                 {}, PromptIcon::Exclamation);
  return IntegerOf(def).value_or(0);
}

}  // namespace vantrel
