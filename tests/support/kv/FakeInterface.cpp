// Fake platform interface for UI tests.
#include "support/kv/FakeInterface.h"

#include <algorithm>
#include <cstring>

namespace testsupport {

struct FakeInterface::MemoryFile {
    std::string bytes;
    int64_t position = 0;
};

FakeInterface::FakeInterface() = default;
FakeInterface::~FakeInterface() = default;

void FakeInterface::AddFile(const std::wstring& path, std::string bytes)
{
    m_files[path] = std::move(bytes);
}

FakeInterface::MemoryFile* FakeInterface::AsMemory(kv::KVFileHandle file) const
{
    for (const auto& open : m_open)
        if (open.get() == file)
            return open.get();
    return nullptr;
}

kv::KVFileHandle FakeInterface::OpenFile(const std::wstring& path)
{
    openedPaths.push_back(path);
    auto it = m_files.find(path);
    kv::KVFileHandle handle = nullptr;
    if (it != m_files.end()) {
        m_open.push_back(std::make_unique<MemoryFile>(MemoryFile{it->second, 0}));
        handle = m_open.back().get();
    } else {
        handle = KVInterface::OpenFile(path);
    }
    if (handle)
        ++m_openCount;
    return handle;
}

void FakeInterface::CloseFile(kv::KVFileHandle file)
{
    if (!file)
        return;
    --m_openCount;
    if (MemoryFile* memory = AsMemory(file)) {
        m_open.erase(std::find_if(m_open.begin(), m_open.end(), [&](auto& f) { return f.get() == memory; }));
        return;
    }
    KVInterface::CloseFile(file);
}

int32_t FakeInterface::Tell(kv::KVFileHandle file)
{
    if (MemoryFile* memory = AsMemory(file))
        return static_cast<int32_t>(memory->position);
    return KVInterface::Tell(file);
}

int32_t FakeInterface::Seek(kv::KVFileHandle file, int32_t offset, int32_t origin)
{
    MemoryFile* memory = AsMemory(file);
    if (!memory)
        return KVInterface::Seek(file, offset, origin);
    int64_t base = origin == kSeekStart ? 0 : origin == kSeekCurrent ? memory->position
                                                                     : static_cast<int64_t>(memory->bytes.size());
    int64_t target = base + offset;
    if (origin < 0 || origin > 2 || target < 0)
        return -1;
    memory->position = target;
    return 0;
}

int32_t FakeInterface::Read(kv::KVFileHandle file, void* buffer, int32_t size)
{
    MemoryFile* memory = AsMemory(file);
    if (!memory)
        return KVInterface::Read(file, buffer, size);
    if (size < 0 || memory->position + size > static_cast<int64_t>(memory->bytes.size()))
        return 0;
    std::memcpy(buffer, memory->bytes.data() + memory->position, static_cast<size_t>(size));
    memory->position += size;
    return size;
}

} // namespace testsupport
