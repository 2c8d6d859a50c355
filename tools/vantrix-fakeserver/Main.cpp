// Simulated game servers on loopback, for the tests, the benchmarks and the demo.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "FakeServerOptions.h"
#include "UdpServerSet.h"
#include "fake/FakeServerProfile.h"

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vantrix::fake;
  try {
    const FakeServerOptions options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
      std::cout << UsageText();
      return 0;
    }
    auto profiles = MakeProfiles(options.setup);
    if (!options.listFile.empty()) WriteFile(options.listFile, PlainListText(profiles));
    if (!options.vnxFile.empty()) WriteFile(options.vnxFile, RecordListText(profiles));

    UdpServerSet servers(std::move(profiles), options);
    std::cout << "ready " << options.setup.count << " servers from port " << options.setup.basePort;
    if (options.masterPort != 0) std::cout << ", master on port " << options.masterPort;
    std::cout << std::endl;
    servers.Run(options.seconds);
    std::cerr << "vantrix-fakeserver: " << servers.Requests() << " requests, " << servers.Datagrams()
              << " datagrams sent\n";
    return 0;
  } catch (const std::invalid_argument& error) {
    std::cerr << "vantrix-fakeserver: " << error.what() << "\n" << UsageText();
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "vantrix-fakeserver: " << error.what() << "\n";
    return 1;
  }
}
