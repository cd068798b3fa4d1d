#pragma once

// Whether two paths open and name the same file: the same volume and the same file index, whatever form each
// path has (letter case, short names, another drive letter for the same volume).
bool same_file(const char* a, const char* b);
