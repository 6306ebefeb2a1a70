#include "descriptor_output.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kvh::tools {

DescriptorOutput::DescriptorOutput(int fd) : m_fd(fd), m_closed(::fcntl(fd, F_GETFD) == -1) {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

DescriptorOutput::~DescriptorOutput() {
    flushBuffer();
}

bool DescriptorOutput::flushBuffer() {
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    discard();
    if (left > 0 && m_closed && m_error == 0)
        m_error = EBADF;
    while (left > 0 && m_error == 0) {
        const ssize_t n = ::write(m_fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            break;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return m_error == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type ch) {
    if (!flushBuffer())
        return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof()))
        sputc(traits_type::to_char_type(ch));
    return traits_type::not_eof(ch);
}

int DescriptorOutput::sync() {
    return flushBuffer() ? 0 : -1;
}

} // namespace kvh::tools
