// The configuration record as TOML text: reading a document into a Config and writing one
// back as the whole document.
#pragma once

#include <string>
#include <string_view>

#include "config/config.h"
#include "core/error.h"

namespace vantro::config {

// Parses `toml_text` and reads its root table into a Config. Keys that name no field are
// skipped at every level, missing keys take their defaults, a record may be given as a table
// of any form or as an array read in field order, and values must have the exact TOML type
// (opacity an integer from 0 to 255). A syntax error or the first wrong value refuses the
// whole document; the error's single message is a report with the line, the column, that
// line of the text and the reason ("invalid type: …, expected …").
[[nodiscard]] Result<Config> deserialize_config(std::string_view toml_text);

// The whole record as a TOML document: the tables hotkeys, hints, colors.element,
// colors.window and startup, every key in field order, show_leader only when it has a value.
[[nodiscard]] std::string serialize_config(const Config& config);

}  // namespace vantro::config
