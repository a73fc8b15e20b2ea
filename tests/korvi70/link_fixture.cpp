#include "link_fixture.h"

#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "korvi70/tcp_client.h"

namespace korvi70_test {
namespace {

std::vector<int> g_numbers;
std::size_t g_next = 0;

int NextNumber() {
    if (g_numbers.empty()) return 0;
    const int n = g_numbers[g_next % g_numbers.size()];
    ++g_next;
    return n;
}

// A plain array: it must still be there when the removal runs at exit.
char g_root[64] = "";

void RemoveTestDriveRoot() { std::filesystem::remove_all(g_root); }

}  // namespace

std::string TestDriveRoot() {
    if (g_root[0] == '\0') {
        std::strcpy(g_root, "/tmp/korvi70-test-XXXXXX");
        if (mkdtemp(g_root) == nullptr)
            std::strcpy(g_root, "/tmp");
        else
            std::atexit(RemoveTestDriveRoot);
    }
    return g_root;
}

void ResetLinkState() {
    setenv("VGX52_ROOT", TestDriveRoot().c_str(), 1);
    korvi70::SetConfigDefaults();
    Korvi70_JestEcho = 0;
    Korvi70_BladLacza = 0;
    Korvi70_TCP_Polaczony = 0;
    Korvi70_TCP_IleNad = Korvi70_TCP_DlugoscNaglowka;
    Korvi70_TCP_DlugoscOdb = 0;
    Korvi70_TCP_PozycjaOdb = 0;
    Korvi70_TCP_JestOdpowiedz = 0;
    korvi70::SetTransactionSource(nullptr);
}

void UseTransactions(std::initializer_list<int> numbers) {
    g_numbers.assign(numbers);
    g_next = 0;
    korvi70::SetTransactionSource(NextNumber);
}

void SimLinkTest::SetUp() {
    ResetLinkState();
    Korvi70_NrZlacza = kPort;
    Korvi70_CzasOczekiwaniaRS = 0.05;  // every expected time-out costs this much
    platform::AttachComDevice(kPort, &device);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    device.written.clear();
    device.writes.clear();
}

void SimLinkTest::TearDown() {
    Korvi70_ZamZlacze();
    platform::AttachComDevice(kPort, nullptr);
    korvi70::SetTransactionSource(nullptr);
}

void SimLinkTest::Reopen() {
    Korvi70_ZamZlacze();
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    device.written.clear();
    device.writes.clear();
}

}  // namespace korvi70_test
