// Windows' MIME charset database: the charset names that the system knows,
// with their code pages and aliases, as the registry holds them under
// HKEY_CLASSES_ROOT\MIME\Database\Charset.
#pragma once

#include "core/AnswerText.h"

#include <optional>
#include <string_view>

namespace Orv {

// The database's record of `name` (letter case ignored, as in the registry):
// its alias, or else its internet code page (its Windows code page when it
// names none). Nothing for a name the database lacks, and for one that could
// not be a key name there (empty, too long, a backslash or a control
// character).
std::optional<core::CharsetRecord> MimeCharsetRecord(std::wstring_view name);

} // namespace Orv
