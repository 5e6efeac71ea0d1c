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
// The bytes SaveLines writes: every line followed by CR LF.
std::string JoinLines(const Lines& lines);

// Writes the bytes as they are (a picture), with the failures of SaveLines.
void SaveBytes(const std::string& bytes, const std::string& file_name);

// Saves the user's own files (section files, data, pictures, a batch's
// results) so that a full disk or a crash never leaves a cut-off file where a
// good one was: the bytes go to a new file in the same folder, are flushed to
// the disk, and that file is renamed over the named one. Until the rename the
// named file stays as it was; on a failure the new file is removed. A file
// that existed keeps its permissions, a new one gets those SaveBytes gives.
// Fails as SaveBytes does, naming the named file; a failed flush or close is
// a stream write failure too.
void ReplaceBytes(const std::string& bytes, const std::string& file_name);

// The lines followed by CR LF, as SaveLines writes them, saved by ReplaceBytes.
void ReplaceLines(const Lines& lines, const std::string& file_name);

// Replaces lines by the file's lines: CR LF, a lone CR and a lone LF each end
// a line; the text ends at its first NUL byte. The file is opened only when no
// other process holds a write lock on it (the solver locks its recorder file
// while writing), and a shared lock keeps writers out while it is read. Fails
// with the file-open failure and leaves lines unchanged.
void LoadLines(Lines& lines, const std::string& file_name);

// The file's bytes as they are, NUL bytes and all, read under LoadLines'
// locks and with its failures.
std::string LoadBytes(const std::string& file_name);

// Cuts a text into lines by the rules of LoadLines.
Lines SplitTextLines(const std::string& text);

// Cuts at the same line ends, but through the whole text: NUL bytes stay in
// their lines, for a reader that refuses them instead of stopping there.
Lines SplitAllLines(const std::string& text);

}  // namespace marrowick
