#include "addon_files_fake.h"

#include <cstdio>

DWORD FakeAddonFiles::Connect(const char* remoteName) {
  connects.push_back(remoteName);
  return connectFails ? ERROR_BAD_NETPATH : NO_ERROR;
}

void* FakeAddonFiles::OpenForWrite(const char* path) {
  if (Hits(failOpen, path)) return nullptr;
  m_open.push_back(new Open{path, {}});
  return m_open.back();
}

size_t FakeAddonFiles::Write(void* file, const void* data, size_t size) {
  Open* f = static_cast<Open*>(file);
  if (Hits(shortWrite, f->path) && size > 0) --size;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  f->bytes.insert(f->bytes.end(), p, p + size);
  return size;
}

int FakeAddonFiles::Close(void* file) {
  Open* f = static_cast<Open*>(file);
  files[f->path] = f->bytes;
  written.push_back(f->path);
  const int result = Hits(failClose, f->path) ? EOF : 0;
  for (auto it = m_open.begin(); it != m_open.end(); ++it)
    if (*it == f) {
      m_open.erase(it);
      break;
    }
  delete f;
  return result;
}

int FakeAddonFiles::Remove(const char* path) {
  removed.push_back(path);
  return files.erase(path) == 1 ? 0 : -1;
}

BOOL FakeAddonFiles::CopyFailIfExists(const char* from, const char* to) {
  copies.emplace_back(from, to);
  if (Hits(failCopy, to) || files.count(to) != 0 || files.count(from) == 0) return FALSE;
  files[to] = files[from];
  return TRUE;
}

BOOL FakeAddonFiles::Exists(const char* path) { return !Hits(vanish, path) && files.count(path) != 0; }

int FakeAddonFiles::MakeFolder(const char* path) {
  madeFolders.push_back(path);
  return 0;
}

int FakeAddonFiles::RemoveFolder(const char* path) {
  removedFolders.push_back(path);
  return 0;
}
