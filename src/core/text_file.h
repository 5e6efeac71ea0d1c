#pragma once

#include <string>
#include <vector>

namespace marrowick {

using Lines = std::vector<std::string>;

// Writes every line followed by CR LF into the named file (relative names
// resolve against the current directory), replacing the file. Fails with the
// file-creation failure when the file cannot be created and with the stream
// write failure on a short write; what was written then stays on disk.
void SaveLines(const Lines& lines, const std::string& file_name);

// Writes the bytes as they are (a picture), with the failures of SaveLines.
void SaveBytes(const std::string& bytes, const std::string& file_name);

// Replaces lines by the file's lines: CR LF, a lone CR and a lone LF each end
// a line; the text ends at its first NUL byte. The file is opened only when no
// other process holds a write lock on it (the solver locks its recorder file
// while writing), and a shared lock keeps writers out while it is read. Fails
// with the file-open failure and leaves lines unchanged.
void LoadLines(Lines& lines, const std::string& file_name);

// Cuts a text into lines by the rules of LoadLines.
Lines SplitTextLines(const std::string& text);

}  // namespace marrowick
