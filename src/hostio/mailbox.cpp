#include "mailbox.h"

#include "common/flavour.h"
#include "platform/platform.h"
#include "wait.h"

namespace {

constexpr uint8_t kOutputBufferFull = 0x01;
constexpr uint8_t kInputBufferFull = 0x02;

constexpr uint16_t kKbcCommandPort = 0x64;
constexpr uint16_t kKbcDataPort = 0x60;

constexpr uint8_t kEcReadExternalRam = 0x92;
constexpr uint8_t kAcpiReadEc = 0x80;

// Until the device has taken the host's last byte.
void WaitInputTaken(uint16_t status_port, const char* what)
{
    hostio::WaitFor([status_port] { return (IoRead8(status_port) & kInputBufferFull) == 0; },
                    hostio::kMailboxLimitUs, {what, status_port & 0xFF});
}

// Until the device offers a byte in its data port.
void WaitOutputFull(uint16_t status_port, const char* what)
{
    hostio::WaitFor([status_port] { return (IoRead8(status_port) & kOutputBufferFull) != 0; },
                    hostio::kMailboxLimitUs, {what, status_port & 0xFF});
}

}  // namespace

void wait_EC_IBE()
{
    WaitInputTaken(kFlavour.ec_cmd_port, "EC input buffer");
}

void wait_EC_OBF()
{
    WaitOutputFull(kFlavour.ec_cmd_port, "EC output buffer");
}

void send_EC_cmd(uint8_t code)
{
    wait_EC_IBE();
    IoWrite8(kFlavour.ec_cmd_port, code);
    wait_EC_IBE();
}

void send_EC_data(uint8_t value)
{
    wait_EC_IBE();
    IoWrite8(kFlavour.ec_data_port, value);
    wait_EC_IBE();
}

// A byte left in the output buffer by an earlier exchange is what this
// returns: nothing drains the EC's output buffer first.
uint8_t Read_EC_data()
{
    wait_EC_OBF();
    return IoRead8(kFlavour.ec_data_port);
}

uint8_t ReadEcExternalRam(uint16_t address)
{
    send_EC_cmd(kEcReadExternalRam);
    send_EC_data(static_cast<uint8_t>(address >> 8));
    send_EC_data(static_cast<uint8_t>(address));
    return Read_EC_data();
}

void wait_KB_IBE()
{
    WaitInputTaken(kKbcCommandPort, "keyboard controller input buffer");
}

void wait_KB_OBF()
{
    WaitOutputFull(kKbcCommandPort, "keyboard controller output buffer");
}

// Each poll reads the status; a pending byte is read and dropped before the
// next one. A controller that keeps producing bytes ends in a timeout.
void wait_KB_OBE()
{
    hostio::WaitFor(
        [] {
            if ((IoRead8(kKbcCommandPort) & kOutputBufferFull) == 0)
                return true;
            IoRead8(kKbcDataPort);
            return false;
        },
        hostio::kMailboxLimitUs, {"keyboard controller output buffer to drain", kKbcCommandPort});
}

void send_KB_cmd(uint8_t code)
{
    wait_KB_OBE();
    wait_KB_IBE();
    IoWrite8(kKbcCommandPort, code);
    wait_KB_IBE();
}

void send_KB_data(uint8_t value)
{
    wait_KB_OBE();
    wait_KB_IBE();
    IoWrite8(kKbcDataPort, value);
    wait_KB_IBE();
}

uint8_t Read_KB_data()
{
    wait_KB_OBF();
    return IoRead8(kKbcDataPort);
}

uint8_t PMC2_RD_EC(uint8_t address, uint16_t command_port, uint16_t data_port)
{
    WaitInputTaken(command_port, "EC input buffer");
    IoWrite8(command_port, kAcpiReadEc);
    WaitInputTaken(command_port, "EC input buffer");
    IoWrite8(data_port, address);
    WaitInputTaken(command_port, "EC input buffer");
    WaitOutputFull(command_port, "EC output buffer");
    return IoRead8(data_port);
}
