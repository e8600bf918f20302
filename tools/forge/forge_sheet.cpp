#include "forge_sheet.h"

int forge_write_sheets(const std::string&, const std::vector<forge_file>&, std::string* error) {
  *error = "contact sheets are not available in this build";
  return 0;
}
