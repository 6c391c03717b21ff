// File paths inside layer and project files. Each path is stored twice: as held, and relative
// to the folder of the file that stores it, with '\' separators so that the files stay
// exchangeable. The relative form lets a project folder be moved.
#pragma once

#include <string>

namespace vexa {

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

// The absolute folder of a file (a relative name counts from the working directory).
std::string FolderOfFile(const std::string& file);

// The stored relative form of path as seen from folder: "img\a.png", "..\b\c.png", "a.png".
// An empty path stays empty; a path that is not absolute is kept, its separators as '\'.
std::string RelativeStoredPath(const std::string& path, const std::string& folder);

// The path a stored pair stands for: fullValue when it is an absolute path on this system
// naming an existing file; otherwise relValue (either separator) expanded against folder when
// a file exists there; otherwise relValue exactly as read. The working directory is not used.
std::string ResolveStoredPath(const std::string& fullValue, const std::string& relValue,
                              const std::string& folder);

}  // namespace vexa
