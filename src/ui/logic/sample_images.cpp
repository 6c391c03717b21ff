#include "ui/logic/sample_images.h"

#include <algorithm>
#include <filesystem>

namespace vexa {
namespace fs = std::filesystem;
namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

bool IsSampleExtension(const std::string& ext) {
  const std::string e = Lower(ext);
  std::string_view list = kSampleExtensions;
  while (!list.empty()) {
    const size_t end = list.find("\r\n");
    if (list.substr(0, end) == e) return !e.empty();
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 2);
  }
  return false;
}

}  // namespace

std::vector<std::string> FindSampleImages(std::span<const std::string> folders) {
  for (const std::string& folder : folders) {
    std::vector<std::string> images;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      std::error_code typeError;
      if (it->is_regular_file(typeError) && IsSampleExtension(it->path().extension().string()))
        images.push_back(fs::absolute(it->path()).lexically_normal().string());
    }
    if (images.empty()) continue;
    std::sort(images.begin(), images.end());
    return images;
  }
  return {};
}

void ShuffleSampleImages(std::vector<std::string>& images, uint32_t (*random)()) {
  const size_t n = images.size();
  for (size_t i = 0; i < 3 && i < n; ++i)
    std::swap(images[i], images[random() % n]);
}

std::vector<std::string> ScanSampleImages(std::span<const std::string> folders, uint32_t (*random)()) {
  std::vector<std::string> images = FindSampleImages(folders);
  ShuffleSampleImages(images, random);
  return images;
}

}  // namespace vexa
