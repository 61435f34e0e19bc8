#include "edit/TranslationCommands.h"

#include "edit/EditSession.h"
#include "exchange/ExchangeMessages.h"
#include "model/Languages.h"
#include "util/HostPath.h"
#include "util/ReadWholeFile.h"
#include "util/ReplaceFileWhole.h"
#include "util/UserPort.h"

namespace tw {
namespace {

// Far above the translations of any game, and small enough to be read whole.
constexpr std::size_t MaxPoBytes = 64u << 20;
constexpr char PoFileFilter[] = "PO files (*.po)|*.po|All files (*)|*||";
constexpr char PoExtension[] = "po";
// How many refused entries a message box lists; the details hold them all.
constexpr std::size_t ListedRefusals = 10;

std::string LanguageName(std::uint16_t slot) {
    return slot < LanguageNames.size() ? LanguageNames[slot] : "language slot " + std::to_string(slot);
}

}  // namespace

std::string TranslationsFileName(std::uint16_t slot) { return TranslationLanguageCode(slot) + "." + PoExtension; }

Status WriteTranslationsFile(const std::filesystem::path& path, const EditSession& session, std::uint16_t slot) {
    const std::string text =
        WritePo(ExportTranslations(session.Careers(), !session.ChanceCardsDisabled(), slot, PoRevisionDateNow()));
    const Status written = ReplaceFileWhole(path, [&text](Stream& file) {
        file.Write(text);
        return true;
    });
    if (!written) return Failure(PathText(path) + ": " + written.Reason(), ErrorKind::System);
    return {};
}

Expected<PoCatalog> ReadTranslationsFile(const std::filesystem::path& path) {
    const Expected<std::string> read = ReadWholeFile(path, MaxPoBytes);
    if (!read) return std::move(Error(read.Err()).Context(PathText(path)));
    Expected<PoCatalog> catalog = ReadPo(*read);
    if (!catalog) return std::move(catalog).Context(PathText(path));
    return catalog;
}

bool ExportTranslationsCommand(const EditSession& session, std::uint16_t slot, UserPort& port) {
    FileChoice choice;
    choice.filter = PoFileFilter;
    choice.initialName = TranslationsFileName(slot);
    choice.defaultExtension = PoExtension;
    choice.promptOverwrite = true;
    choice.existingFoldersOnly = true;
    const auto path = port.ChooseSaveFile(choice);
    if (!path) return false;
    if (const Status written = WriteTranslationsFile(*path, session, slot); !written) {
        port.Tell("Couldn't create this file!", ErrorTitle, MessageIcon::Error, written.Reason());
        return false;
    }
    port.Tell("Successfully exported!", ProductTitle, MessageIcon::Information);
    return true;
}

TranslationImportResult ImportTranslationsCommand(EditSession& session, UserPort& port) {
    FileChoice choice;
    choice.filter = PoFileFilter;
    choice.initialName = "*.po";
    choice.defaultExtension = PoExtension;
    choice.mustExist = true;
    const auto path = port.ChooseOpenFile(choice);
    if (!path) return {};
    const Expected<PoCatalog> catalog = ReadTranslationsFile(*path);
    if (!catalog) {
        port.Tell("Couldn't read this file!", ErrorTitle, MessageIcon::Error, catalog.Reason());
        return {};
    }
    TranslationImportResult result = session.ImportTranslations(*catalog);
    if (!result.refused.empty()) {
        std::string listed, all;
        for (std::size_t i = 0; i < result.refused.size(); ++i) {
            if (i < ListedRefusals) listed += "\n" + result.refused[i];
            all += (i == 0 ? "" : "\n") + result.refused[i];
        }
        if (result.refused.size() > ListedRefusals)
            listed += "\n(" + std::to_string(result.refused.size() - ListedRefusals) + " more)";
        port.Tell("The translations were not imported; nothing was changed:" + listed, ErrorTitle, MessageIcon::Error,
                  all);
        return result;
    }
    const std::size_t changed = result.textsChanged;
    port.Tell("Translations imported into " + LanguageName(*result.slot) + ": " + std::to_string(changed) +
                  (changed == 1 ? " text changed." : " texts changed."),
              ProductTitle, MessageIcon::Information);
    return result;
}

}  // namespace tw
