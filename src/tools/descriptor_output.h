#pragma once
// Standard output as a stream buffer that remembers why a write failed, so the companion can
// tell a full disk or a closed output instead of reporting success.

#include <array>
#include <streambuf>

namespace kvh::tools {

/// Buffers output for a file descriptor and writes it with write(2). The first failure stops
/// all further writing and is kept as its errno; a descriptor closed from the start fails with
/// EBADF on the first write.
class DescriptorOutput : public std::streambuf {
public:
    explicit DescriptorOutput(int fd);
    ~DescriptorOutput() override;
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;

    /// 0 while every write succeeded, else the errno of the first failure.
    int error() const { return m_error; }
    /// Drops what is buffered and not yet written.
    void discard() { setp(m_buffer.data(), m_buffer.data() + m_buffer.size()); }

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    bool flushBuffer();

    int m_fd;
    bool m_closed; ///< the descriptor was not open when the output was made
    int m_error = 0;
    std::array<char, 65536> m_buffer{};
};

} // namespace kvh::tools
