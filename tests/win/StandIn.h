// The stand-in update service (tools/update_service.py) as the Windows tests
// see it. ./dev starts it and passes its address in MIRVEX_TEST_SERVICE; the
// tests script it through its control API over plain Winsock, so the HTTP
// client under test never scripts its own test.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wintest {

class StandInService {
  public:
    // The service named by MIRVEX_TEST_SERVICE ("http://127.0.0.1:PORT");
    // nothing when the variable is missing or malformed.
    static std::optional<StandInService> FromEnvironment();

    // The update service address a program would use.
    std::wstring Url() const;
    // The same over HTTPS, on the port of the service's listener `name`:
    // "trusted" (its certificate is in the test prefix's ROOT store) or
    // "untrusted" (a self-signed certificate trusted nowhere).
    std::wstring TlsUrl(std::string_view name) const;
    // Connections that listener accepted so far, refused handshakes included.
    int Connections(std::string_view name) const;

    // A new script (JSON texts of steps, see the service's description) and
    // an empty record. `fallback` answers once the steps are used up.
    void Script(const std::string& steps, const std::string& fallback = "");

    // The record of requests since the last script, as the service's JSON.
    std::string Requests() const;
    int RequestCount() const;

  private:
    explicit StandInService(unsigned short port) : port_(port) {}
    std::string Exchange(const std::string& request) const;
    int ListenerNumber(std::string_view name, std::string_view field) const;

    unsigned short port_;
};

// Steps of a script, as JSON text.
std::string JsonQuote(std::string_view utf8);
std::string AnswerStep(std::string_view body, int status = 200,
                       std::string_view contentType = "application/json; charset=utf-8",
                       std::optional<std::size_t> padTo = std::nullopt);
std::string RawAnswerStep(std::string_view bytes, std::string_view contentType);
std::string OfferStep(std::string_view link, int status = 200);
std::string DropStep();
std::string RedirectStep(std::string_view location);
// Steps joined into a JSON list.
std::string Steps(std::initializer_list<std::string> steps);

} // namespace wintest
