#pragma once

namespace plugkit {

// Makes the profile file at the UTF-8 path UTF-16 with a byte order mark,
// the one encoding in which the profile calls keep names in every script
// and keep writing the file. A missing file is made empty. A file in UTF-16
// keeps its text; any other file is read as UTF-8 when it is valid UTF-8
// (with or without a byte order mark), else in the system's code page, as
// a person's text editor may have saved it. A file that cannot be read is
// left alone.
void ConvertProfileToUtf16(const char* path);

} // namespace plugkit
