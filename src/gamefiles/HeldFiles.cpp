#include "gamefiles/HeldFiles.h"

namespace tw {

FileStream* HeldFiles::FileOf(Stream* stream) {
    auto* file = dynamic_cast<FileStream*>(stream);
    return file != nullptr && file->IsOpen() && !file->Path().empty() ? file : nullptr;
}

void HeldFiles::LetGo() {
    std::vector<IFFFile*> containers{&context_.careersIFF};
    if (context_.chanceCardsDisabled == 0) containers.push_back(&context_.chanceCardsIFF);
    for (IFFFile* container : containers) {
        if (FileStream* file = FileOf(container->AttachedFile())) {
            containerPaths_.emplace_back(container, file->Path());
            container->CloseFile();
        }
    }
    for (std::unique_ptr<Stream>* strip : {&context_.buttonsBitmapFile, &context_.popupBitmapFile}) {
        if (FileStream* file = FileOf(strip->get())) {
            stripPaths_.emplace_back(strip, file->Path());
            strip->reset();
        }
    }
}

void HeldFiles::TakeBack() {
    for (auto& [container, path] : containerPaths_) {
        if (auto file = FileStream::TryOpen(path, FileMode::ReadWriteShared)) container->AttachFile(*file);
    }
    for (auto& [strip, path] : stripPaths_) *strip = FileStream::TryOpen(path, FileMode::ReadWriteShared);
    containerPaths_.clear();
    stripPaths_.clear();
}

}  // namespace tw
