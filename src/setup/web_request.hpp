#pragma once
// The program's one way to talk to its web site: a single HTTP/1.1 GET over a TCP socket, of which
// only the first received chunk is looked at; with the texts of the update check and the comment form.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace mw::setup {

/// The host names of the product web site and of its forum (build settings).
std::string ProductHost();
std::string ForumHost();
/// The address of a page of the product web site ("/" for its home page), and the forum's home page.
std::string ProductPageAddress(std::string_view path);
std::string ForumAddress();

inline constexpr const char* kUserAgent = "Murmelwerk/1.0.1f";
inline constexpr const char* kVersionMarkerPath = "/Murmelwerkv1.0.1.chk";
inline constexpr const char* kFeedbackPathPrefix = "/Feedback/FromProgramExit.php?Comment=";
inline constexpr const char* kUpdatePagePath = "/Pages/Murmelwerk_VersionUpdate.html";
inline constexpr const char* kOnlineHelpPagePath = "/Pages/Murmelwerk_Support.html";
inline constexpr int kReplyCapacity = 10000;

/// Where the requests go: the product host at port 80, or, when MURMELWERK_WEB_SERVER is set to
/// "host:port", that server (the Host line then names it too).
struct WebServer {
    std::string host;
    uint16_t port = 80;
};
WebServer ProductServer();

struct WebTimeouts {
    std::chrono::milliseconds connect{5000};
    std::chrono::milliseconds receive{10000};
    /// A descriptor that becomes readable when the request is to be given up (-1: none).
    int cancel = -1;
};

/// The request's text: "GET <path> HTTP/1.1", Host, User-Agent, Connection: close, an empty line.
std::string RequestText(std::string_view path, std::string_view host);

/// Sends the request for `path` and receives once, at most `reply.size()` bytes, into `reply`. Returns
/// the number of bytes received (> 0); on failure 0 or -1 with "Error <number>" (the socket error, or
/// the name-resolution error) at the start of `reply`. Connecting and receiving give up after their
/// time-outs, or when `timeouts.cancel` becomes readable.
int WebRequest(const WebServer& server, std::string_view path, std::string& reply,
               const WebTimeouts& timeouts = {});

/// True when a reply of `count` bytes carries the status 404 at offsets 9 to 11 (the sign that a newer
/// version exists). A reply shorter than 12 bytes is none.
bool ReportsNewerVersion(std::string_view reply, int count);

/// The request path of a comment (UTF-8): blanks, tabs, CR and LF cut from both ends; every byte other
/// than ASCII letters, digits and "-._~" written as %XX (UTF-8), so a query-string reader gets the whole
/// comment back; at most 10000 bytes, never cutting an escape or a character.
std::string FeedbackPath(std::string_view comment);

/// True when the comment holds something other than blanks and tabs.
bool CommentHasText(std::u16string_view comment);

} // namespace mw::setup
