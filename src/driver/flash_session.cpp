#include "flash_session.h"

#include "common/print.h"
#include "hostio/mailbox.h"
#include "hostio/session.h"

void OpenFlashMode(uint8_t closing)
{
    kline("Send KB Cmd 0xAD \n");
    hostio::SessionKeyboardDisabled(true);
    send_KB_cmd(kbc::kDisableKeyboard);

    kline("Send EC Cmd 0xDC \n");
    hostio::SessionFlashMode(closing);
    send_EC_cmd(ec::kEnterFlashMode);

    kline("Read EC Data \n");
    kline(Read_EC_data() == ec::kFlashModeAck ? "EC ACK OK. \n" : "EC ACK Fail. \n");
}

void CloseFlashMode(uint8_t closing)
{
    send_EC_cmd(closing);
    hostio::SessionFlashMode(0);
    send_KB_cmd(kbc::kEnableKeyboard);
    hostio::SessionKeyboardDisabled(false);
}
