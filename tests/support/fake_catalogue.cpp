#include "support/fake_catalogue.h"

#include <arpa/inet.h>
#include <cctype>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace platter::testing {

std::string serviceLayout(const std::vector<std::string>& objects) {
    std::string body = "\n\n\n{\n \"resultCount\":" + std::to_string(objects.size()) + ",\n \"results\": [\n";
    for (std::size_t i = 0; i < objects.size(); ++i)
        body += (i ? ", \n" : "") + objects[i];
    return body + "]\n}\n\n\n";
}

FakeCatalogue::FakeCatalogue(Handler handler)
    : FakeCatalogue(FullHandler([handler = std::move(handler)](const ServedRequest& r) { return handler(r.target); })) {}

FakeCatalogue::FakeCatalogue(FullHandler handler) : handler_(std::move(handler)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0)
        throw std::runtime_error("cannot listen on loopback");
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

FakeCatalogue::~FakeCatalogue() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
}

std::string FakeCatalogue::base() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> FakeCatalogue::targets() const {
    std::lock_guard lock(mutex_);
    return targets_;
}

void FakeCatalogue::serve() {
    std::vector<std::thread> connections; // one each, so a stalled answer holds up no other
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) connections.emplace_back([this, client] { answer(client); });
    }
    for (auto& t : connections)
        t.join();
}

void FakeCatalogue::answer(int client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const auto n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    const auto headEnd = request.find("\r\n\r\n");
    if (headEnd == std::string::npos) { // the client went before its request was whole: nothing is served
        ::close(client);
        return;
    }
    ServedRequest served;
    const auto start = request.find(' ') + 1;
    served.method = request.substr(0, start - 1);
    served.target = request.substr(start, request.find(' ', start) - start);
    for (auto line = request.find("\r\n") + 2; line < headEnd;) {
        const auto end = request.find("\r\n", line);
        const auto colon = request.find(':', line);
        if (colon < end) {
            auto name = request.substr(line, colon - line);
            for (auto& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            served.headers[name] = request.substr(request.find_first_not_of(' ', colon + 1),
                                                  end - request.find_first_not_of(' ', colon + 1));
        }
        line = end + 2;
    }
    served.body = request.substr(headEnd + 4);
    const auto length =
        served.headers.contains("content-length") ? std::stoul(served.headers["content-length"]) : std::size_t{0};
    while (served.body.size() < length) {
        const auto n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        served.body.append(buffer, static_cast<std::size_t>(n));
    }
    if (served.body.size() < length) {
        ::close(client);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        targets_.push_back(served.target);
    }
    const auto reply = handler_(served);
    // A stall ends early when the server stops, so a test never waits on it.
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(reply.stallSeconds);
    while (!stopping_ && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (reply.hangUp) {
        ::close(client);
        return;
    }
    std::string extra;
    for (const auto& [name, value] : reply.headers)
        extra += name + ": " + value + "\r\n";
    const auto response = "HTTP/1.1 " + std::to_string(reply.status) +
                          (reply.status == 200 ? " OK" : " Error") +
                          "\r\nContent-Type: text/javascript; charset=utf-8\r\nContent-Length: " +
                          std::to_string(reply.body.size()) + "\r\n" + extra + "Connection: close\r\n\r\n" +
                          reply.body;
    ::send(client, response.data(), response.size(), MSG_NOSIGNAL);
    ::close(client);
}

} // namespace platter::testing
