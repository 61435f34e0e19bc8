#include "gamefiles/HeldFiles.h"

namespace tw {

FileStream* HeldFiles::FileOf(Stream* stream) {
    auto* file = dynamic_cast<FileStream*>(stream);
    return file != nullptr && file->IsOpen() && !file->Path().empty() ? file : nullptr;
}

std::vector<HeldFiles::Held> HeldFiles::Files() {
    std::vector<Held> files{{&context_.careersIFF, nullptr, &context_.careersSource, false}};
    if (context_.chanceCardsDisabled == 0)
        files.push_back({&context_.chanceCardsIFF, nullptr, &context_.chanceCardsSource, false});
    files.push_back({nullptr, &context_.buttonsBitmapFile, &context_.buttonsSource, false});
    files.push_back({nullptr, &context_.popupBitmapFile, &context_.popupSource, false});
    return files;
}

void HeldFiles::LetGo() {
    held_ = Files();
    for (Held& held : held_) {
        Stream* stream = held.container != nullptr ? held.container->AttachedFile() : held.strip->get();
        if (FileOf(stream) == nullptr) continue;
        held.letGo = true;
        if (held.container != nullptr)
            held.container->CloseFile();
        else
            held.strip->reset();
    }
}

void HeldFiles::Open(const Held& held) {
    Expected<std::unique_ptr<FileStream>> file = FileStream::TryOpen(held.source->path, FileMode::ReadShared);
    if (held.container != nullptr) {
        if (file) held.container->AttachFile(**file);
    } else {
        *held.strip = file ? std::move(*file) : nullptr;
    }
}

void HeldFiles::TakeBack() {
    for (const Held& held : held_)
        if (held.letGo) Open(held);
    held_.clear();
}

void HeldFiles::TakeBackSaved() {
    for (Held& held : held_) {
        held.source->loose = true;
        Open(held);
    }
    held_.clear();
}

}  // namespace tw
