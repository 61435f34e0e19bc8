#pragma once

#include "edit/TranslationCatalog.h"
#include "exchange/PoFile.h"
#include "util/Error.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tw {

class EditSession;
class UserPort;

// The name Export Translations suggests for language `slot`: its code and ".po" ("de.po").
std::string TranslationsFileName(std::uint16_t slot);

// Writes the translations of language `slot` as a PO file to `path`, replacing a file there whole.
// A failure names the file and the system's reason; an existing file is then left as it was.
Status WriteTranslationsFile(const std::filesystem::path& path, const EditSession& session, std::uint16_t slot);

// Reads a PO file of at most 64 MiB. A failure for a file that cannot be read or is malformed,
// naming the file (and the line): "de.po: line 12: a string without its quotes".
Expected<PoCatalog> ReadTranslationsFile(const std::filesystem::path& path);

// Career > Export Translations...: asks for a file and writes language `slot`'s translations,
// then says so. True when a file was written. The model is not changed.
bool ExportTranslationsCommand(const EditSession& session, std::uint16_t slot, UserPort& port);

// Career > Import Translations...: asks for a file and imports the language it names (see
// EditSession::ImportTranslations), then says how many texts changed, or what was refused.
TranslationImportResult ImportTranslationsCommand(EditSession& session, UserPort& port);

}  // namespace tw
