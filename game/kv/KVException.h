// The framework's exceptions: the layout loader reports every failure with one of them, and the
// window system's create-from-layout entry catches them, so none reaches the game.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kv::Testing {

class KVException : public std::exception {
public:
    // The wide message is kept in narrow form; characters without a narrow form become "?".
    explicit KVException(const std::wstring& message);
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

class KVInvalidArgException : public KVException {
public:
    using KVException::KVException;
};

class KVFileException : public KVException {
public:
    static constexpr int32_t kCannotOpen = 0;
    static constexpr int32_t kEmpty = 1;

    KVFileException(const std::wstring& fileName, int32_t reason) : KVException(fileName), m_reason(reason) {}
    int32_t reason() const { return m_reason; }

private:
    int32_t m_reason;
};

} // namespace kv::Testing
