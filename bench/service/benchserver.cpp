// Load-test server for bench/service/run.sh: either the print service's
// listener and intake (no document launchers, so every djlx opens nothing and
// log lines are formatted and dropped), or a bare cpp-httplib server that
// answers 200 with the same keep-alive setting. Loopback only. Prints its
// port, then serves until stdin closes.
#include "base/datetimeformat.h"
#include "service/httplistener.h"
#include "service/requestintake.h"

#include <httplib.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

namespace {

int runService()
{
    // The main window stamps each line; do that work too, then drop the line.
    auto sink = [](const std::string &line) {
        const std::string stamped =
            tally::formatDateTime("yyyy-mm-dd,hh:nn:ss", tally::LocalDateTime::now()) + ":" + line;
        if (stamped.empty())
            std::abort();
    };
    tally::service::RequestIntake intake(sink);
    tally::service::HttpListener listener(
        [&](std::string_view method, const std::string &body) {
            intake.handleRequest(method, body);
        },
        sink);
    if (!listener.start(0, "127.0.0.1"))
        return 1;
    std::printf("%d\n", listener.port());
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
    }
    listener.stop();
    return 0;
}

int runBare()
{
    httplib::Server server;
    server.set_keep_alive_max_count(1);
    server.Get(".*", [](const httplib::Request &, httplib::Response &res) { res.status = 200; });
    server.Post(".*", [](const httplib::Request &, httplib::Response &res) { res.status = 200; });
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0)
        return 1;
    std::thread serving([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::yield();
    std::printf("%d\n", port);
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
    }
    server.stop();
    serving.join();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "service")
        return runService();
    if (mode == "bare")
        return runBare();
    std::fputs("usage: bench_service_server service|bare\n", stderr);
    return 2;
}
