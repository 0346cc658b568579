// The program's texts from its resource files: portable code is tested in both languages.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include "app/strings.h"
#include "app/text_ids.h"
#include "text/utf.h"

namespace lumetta::test {

class RcTexts final : public TextSource {
 public:
  explicit RcTexts(const std::string& language) {  // "en" or "ja"
    std::map<std::string, std::uint32_t> ids;
#define LUMETTA_TEXT_NAME(name, id) ids[#name] = id;
    LUMETTA_TEXT_IDS(LUMETTA_TEXT_NAME)
#undef LUMETTA_TEXT_NAME
    std::ifstream file(std::string(LUMETTA_SOURCE_DIR) + "/resources/strings_" + language + ".rc");
    std::string line;
    while (std::getline(file, line)) {
      std::string name;
      std::istringstream(line) >> name;
      const std::size_t open = line.find('"');
      if (!ids.contains(name) || open == std::string::npos) {
        continue;
      }
      std::string text;
      for (std::size_t i = open + 1; i < line.size() && line[i] != '"'; ++i) {
        const bool escaped =
            line[i] == '\\' && i + 1 < line.size() && ++i;  // steps onto the escaped one
        text += escaped && line[i] == 'n' ? '\n' : line[i];
      }
      texts_[ids[name]] = FromUtf8(text);
    }
    if (texts_.size() != std::size(kAllTextIds)) {
      throw std::runtime_error("strings_" + language + ".rc lacks texts");
    }
  }

  std::u16string Text(std::uint32_t id) const override {
    return texts_.at(id);
  }

 private:
  std::map<std::uint32_t, std::u16string> texts_;
};

}  // namespace lumetta::test
