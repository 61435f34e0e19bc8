#pragma once

#include <string>

#include <QString>

namespace tw {

// The rules by which the editor's file dialogs read a FileChoice, apart from the dialogs.

// Turns the game platform's filter form, description and pattern list separated by bars and
// ended by two bars ("IFF files (*.IFF)|*.iff||"), into Qt name filters ("IFF files (*.IFF *.iff)").
// Patterns are taken from the description's parentheses and the pattern list (which separates
// them by semicolons), each also in upper and lower case, so that the match ignores case.
// Several filters are joined by ";;". An empty filter gives an empty text (all files).
QString QtNameFilters(const std::string& platformFilter);

// The file name a dialog starts with. A name with wildcards ("*.iff") only says which files to
// list, which the filter already does, so it gives no name.
QString InitialSelection(const std::string& initialName);

// Appends the default extension (given without its dot) to a path whose file name has none, that
// is contains no dot. A name with a dot anywhere is taken as the person typed it.
QString WithDefaultExtension(const QString& path, const std::string& extension);

// The application's name: the executable's file name without its folder and without the
// extension after its last dot.
QString ExecutableBaseName(const QString& executablePath);

}  // namespace tw
