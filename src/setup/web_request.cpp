#include "setup/web_request.hpp"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifndef MW_PRODUCT_HOST
#define MW_PRODUCT_HOST "murmelwerk.invalid"
#endif
#ifndef MW_FORUM_HOST
#define MW_FORUM_HOST "forum.murmelwerk.invalid"
#endif

namespace mw::setup {
namespace {

void WriteError(std::string& reply, long code) {
    const std::string text = "Error " + std::to_string(code);
    reply.replace(0, std::min(text.size(), reply.size()), text.substr(0, reply.size()));
}

/// Waits until `fd` is ready for `events`; false on time-out (errno ETIMEDOUT) or cancellation (ECANCELED).
bool WaitFor(int fd, short events, std::chrono::milliseconds timeout, int cancel) {
    pollfd fds[2] = {{fd, events, 0}, {cancel, POLLIN, 0}};
    for (;;) {
        const int n = ::poll(fds, cancel >= 0 ? 2 : 1, int(timeout.count()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        if (cancel >= 0 && fds[1].revents != 0) {
            errno = ECANCELED;
            return false;
        }
        return true;
    }
}

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

std::string ProductHost() {
    return MW_PRODUCT_HOST;
}

std::string ForumHost() {
    return MW_FORUM_HOST;
}

std::string ProductPageAddress(std::string_view path) {
    return "https://" + ProductHost() + std::string(path);
}

std::string ForumAddress() {
    return "https://" + ForumHost() + "/";
}

WebServer ProductServer() {
    WebServer server{ProductHost(), 80};
    if (const char* value = std::getenv("MURMELWERK_WEB_SERVER"); value && *value) {
        const std::string text = value;
        const size_t colon = text.rfind(':');
        const long port = colon == std::string::npos ? 0 : std::strtol(text.c_str() + colon + 1, nullptr, 10);
        if (colon != std::string::npos && port > 0 && port < 65536) {
            server = {text.substr(0, colon), uint16_t(port)};
        } else {
            server.host = text;
        }
    }
    return server;
}

std::string RequestText(std::string_view path, std::string_view host) {
    return "GET " + std::string(path) + " HTTP/1.1\r\nHost: " + std::string(host) +
           "\r\nUser-Agent: " + kUserAgent + "\r\nConnection: close\r\n\r\n";
}

int WebRequest(const WebServer& server, std::string_view path, std::string& reply,
               const WebTimeouts& timeouts) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    const int resolved =
        ::getaddrinfo(server.host.c_str(), std::to_string(server.port).c_str(), &hints, &addresses);
    if (resolved != 0 || addresses == nullptr) {
        WriteError(reply, resolved == EAI_SYSTEM ? errno : resolved);
        return 0;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        ::freeaddrinfo(addresses);
        WriteError(reply, errno);
        return -1;
    }
    int result = -1;
    int error = 0;
    const int connected = ::connect(fd, addresses->ai_addr, addresses->ai_addrlen);
    ::freeaddrinfo(addresses);
    bool ok =
        connected == 0 || (errno == EINPROGRESS && WaitFor(fd, POLLOUT, timeouts.connect, timeouts.cancel));
    if (ok && connected != 0) {
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        ok = error == 0;
    } else if (!ok) {
        error = errno;
    }
    if (ok) {
        const std::string request = RequestText(
            path, server.port == 80 ? server.host : server.host + ":" + std::to_string(server.port));
        size_t sent = 0;
        while (ok && sent < request.size()) {
            const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n > 0) {
                sent += size_t(n);
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                ok = WaitFor(fd, POLLOUT, timeouts.receive, timeouts.cancel);
            } else {
                ok = false;
            }
        }
        if (!ok) error = errno;
    }
    if (ok) { // one receive, as much as the buffer takes
        if (WaitFor(fd, POLLIN, timeouts.receive, timeouts.cancel)) {
            result = int(::recv(fd, reply.data(), reply.size(), 0));
            if (result <= 0) error = errno;
        } else {
            error = errno;
        }
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
    if (result > 0) return result;
    WriteError(reply, error);
    return result;
}

bool ReportsNewerVersion(std::string_view reply, int count) {
    if (count < 12 || size_t(count) > reply.size()) return false;
    return reply.substr(9, 3) == "404";
}

std::string FeedbackPath(std::string_view comment) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!comment.empty() && blank(comment.front())) comment.remove_prefix(1);
    while (!comment.empty() && blank(comment.back())) comment.remove_suffix(1);
    std::string path = kFeedbackPathPrefix;
    static constexpr char kHex[] = "0123456789ABCDEF";
    size_t i = 0;
    while (i < comment.size()) {
        // One character: a UTF-8 lead byte and its continuation bytes.
        size_t end = i + 1;
        while (end < comment.size() && (uint8_t(comment[end]) & 0xC0) == 0x80) ++end;
        std::string encoded;
        for (size_t k = i; k < end; ++k) {
            const auto c = uint8_t(comment[k]);
            if (Unreserved(c)) {
                encoded += char(c);
            } else {
                encoded += '%';
                encoded += kHex[c >> 4];
                encoded += kHex[c & 15];
            }
        }
        if (path.size() + encoded.size() > size_t(kReplyCapacity)) break;
        path += encoded;
        i = end;
    }
    return path;
}

bool CommentHasText(std::u16string_view comment) {
    for (const char16_t c : comment)
        if (c != u' ' && c != u'\t') return true;
    return false;
}

} // namespace mw::setup
