#include "StandIn.h"

#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace wintest {
namespace {

constexpr char kVariable[] = "MIRVEX_TEST_SERVICE";
constexpr char kLoopbackPrefix[] = "http://127.0.0.1:";
constexpr char kHeaderEnd[] = "\r\n\r\n";
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

class Socket {
  public:
    Socket() : socket_(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {}
    ~Socket() {
        if (socket_ != INVALID_SOCKET)
            closesocket(socket_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET Get() const { return socket_; }

  private:
    SOCKET socket_;
};

void StartWinsock() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        throw std::runtime_error("Winsock did not start");
}

std::string Base64(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            value |= static_cast<unsigned char>(bytes[i + 2]);
        for (std::size_t k = 0; k < 4; ++k)
            out += i + k <= bytes.size() ? kBase64[(value >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return out;
}

} // namespace

std::optional<StandInService> StandInService::FromEnvironment() {
    const char* value = std::getenv(kVariable);
    if (!value)
        return std::nullopt;
    const std::string text(value);
    if (text.rfind(kLoopbackPrefix, 0) != 0)
        return std::nullopt;
    const int port = std::atoi(text.c_str() + sizeof(kLoopbackPrefix) - 1);
    if (port <= 0 || port > 65535)
        return std::nullopt;
    return StandInService(static_cast<unsigned short>(port));
}

std::wstring StandInService::Url() const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/api.init.php";
}

// A number of the listener `name` in the service's listener table.
int StandInService::ListenerNumber(std::string_view name, std::string_view field) const {
    const std::string table = Exchange("GET /_stand-in/listeners HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                       "Connection: close\r\n\r\n");
    const std::size_t entry = table.find(JsonQuote(name) + ": {");
    const std::string key = JsonQuote(field) + ": ";
    const std::size_t at = entry == std::string::npos ? entry : table.find(key, entry);
    if (at == std::string::npos)
        throw std::runtime_error("the stand-in service has no listener " + std::string(name));
    return std::atoi(table.c_str() + at + key.size());
}

std::wstring StandInService::TlsUrl(std::string_view name) const {
    return L"https://127.0.0.1:" + std::to_wstring(ListenerNumber(name, "port")) + L"/api.init.php";
}

int StandInService::Connections(std::string_view name) const {
    return ListenerNumber(name, "connections");
}

std::string StandInService::Exchange(const std::string& request) const {
    StartWinsock();
    const Socket socket;
    if (socket.Get() == INVALID_SOCKET)
        throw std::runtime_error("no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        throw std::runtime_error("the stand-in service does not answer on its port");
    for (std::size_t sent = 0; sent < request.size();) {
        const int n =
            send(socket.Get(), request.data() + sent, static_cast<int>(request.size() - sent), 0);
        if (n <= 0)
            throw std::runtime_error("sending to the stand-in service failed");
        sent += static_cast<std::size_t>(n);
    }
    std::string response;
    char buffer[4096];
    for (int n; (n = recv(socket.Get(), buffer, sizeof(buffer), 0)) > 0;)
        response.append(buffer, static_cast<std::size_t>(n));
    const std::size_t body = response.find(kHeaderEnd);
    if (response.rfind("HTTP/1.1 200", 0) != 0 || body == std::string::npos)
        throw std::runtime_error("the stand-in service refused: " + response);
    return response.substr(body + sizeof(kHeaderEnd) - 1);
}

void StandInService::Script(const std::string& steps, const std::string& fallback) {
    const std::string body =
        "{\"steps\":" + steps + (fallback.empty() ? "" : ",\"default\":" + fallback) + "}";
    Exchange("POST /_stand-in/script HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
             "Content-Type: application/json\r\nContent-Length: " +
             std::to_string(body.size()) + kHeaderEnd + body);
}

std::string StandInService::Requests() const {
    return Exchange("GET /_stand-in/requests HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                    "Connection: close\r\n\r\n");
}

int StandInService::RequestCount() const {
    const std::string record = Requests();
    int count = 0;
    for (std::size_t at = record.find("\"path\""); at != std::string::npos;
         at = record.find("\"path\"", at + 1))
        ++count;
    return count;
}

std::string JsonQuote(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string AnswerStep(std::string_view body, int status, std::string_view contentType,
                       std::optional<std::size_t> padTo) {
    std::string step = "{\"status\":" + std::to_string(status) +
                       ",\"headers\":[[\"Content-Type\"," + JsonQuote(contentType) +
                       "]],\"body\":" + JsonQuote(body);
    if (padTo)
        step += ",\"pad_to\":" + std::to_string(*padTo);
    return step + "}";
}

std::string RawAnswerStep(std::string_view bytes, std::string_view contentType) {
    return "{\"status\":200,\"headers\":[[\"Content-Type\"," + JsonQuote(contentType) +
           "]],\"body_base64\":\"" + Base64(bytes) + "\"}";
}

std::string OfferStep(std::string_view link, int status) {
    return AnswerStep("{\"result\":true,\"update\":" + JsonQuote(link) + "}", status);
}

std::string DropStep() {
    return "{\"drop\":true}";
}

std::string RedirectStep(std::string_view location) {
    return "{\"redirect\":" + JsonQuote(location) + ",\"status\":302}";
}

std::string Steps(std::initializer_list<std::string> steps) {
    std::string out = "[";
    for (const auto& step : steps)
        out += (out.size() > 1 ? "," : "") + step;
    return out + "]";
}

} // namespace wintest
