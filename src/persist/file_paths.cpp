#include "persist/file_paths.h"

#include <algorithm>
#include <filesystem>

namespace vexa {
namespace fs = std::filesystem;

namespace {

bool IsAbsoluteHere(const std::string& p) {
  return !p.empty() && p.front() == '/';
}

std::string WithSeparator(std::string s, char from, char to) {
  std::replace(s.begin(), s.end(), from, to);
  return s;
}

}  // namespace

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  fs::file_status st = fs::status(path, ec);
  return !ec && fs::exists(st) && !fs::is_directory(st);
}

std::string FolderOfFile(const std::string& file) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(file), ec);
  if (ec) p = fs::path(file);
  return p.lexically_normal().parent_path().string();
}

std::string RelativeStoredPath(const std::string& path, const std::string& folder) {
  if (!IsAbsoluteHere(path) || !IsAbsoluteHere(folder)) return WithSeparator(path, '/', '\\');
  fs::path p = fs::path(path).lexically_normal();
  fs::path rel = p.parent_path().lexically_relative(fs::path(folder).lexically_normal());
  if (rel.empty()) return WithSeparator(path, '/', '\\');
  fs::path result = rel == "." ? p.filename() : rel / p.filename();
  return WithSeparator(result.string(), '/', '\\');
}

std::string ResolveStoredPath(const std::string& fullValue, const std::string& relValue,
                              const std::string& folder) {
  if (IsAbsoluteHere(fullValue) && FileExists(fullValue)) return fullValue;
  if (relValue.empty()) return relValue;
  fs::path text(WithSeparator(relValue, '\\', '/'));
  fs::path expanded = (text.is_absolute() ? text : fs::path(folder) / text).lexically_normal();
  return FileExists(expanded.string()) ? expanded.string() : relValue;
}

}  // namespace vexa
