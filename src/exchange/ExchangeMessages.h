#pragma once

namespace tw {

// Titles and shared texts of the exchange commands' message boxes.
inline constexpr char ErrorTitle[] = "Error!";
inline constexpr char FatalErrorTitle[] = "Fatal error!";
inline constexpr char WarningTitle[] = "Warning";
inline constexpr char QuestionTitle[] = "Question";
// The product title of completion messages.
inline constexpr char ProductTitle[] = "Trackwright 2";
// Ends the messages about faults that are ours rather than the person's.
inline constexpr char ContactLine[] = "Please report it at the project's issue tracker.";

// The file dialogs of export, backup and import.
inline constexpr char ExchangeFileFilter[] = "IFF files (*.IFF)|*.iff||";
inline constexpr char ExchangeOpenFilter[] = "IFF files (*.IFF)|*.iff|All files (*)|*||";
inline constexpr char ExchangeInitialName[] = "*.iff";
inline constexpr char ExchangeExtension[] = "iff";
inline constexpr char BackupInitialName[] = "Careers backup.iff";

}  // namespace tw
