#include "datagram_frame.h"

#include <cstring>

namespace {
// The datagram as the handlers see it: at most kReceiveBufferSize bytes, zeros after its end.
struct ReceiveBuffer {
    uint8_t bytes[kReceiveBufferSize];
    size_t length;

    ReceiveBuffer(const uint8_t* data, size_t size) : bytes(), length(size < kReceiveBufferSize ? size : kReceiveBufferSize)
    {
        if (data && length)
            std::memcpy(bytes, data, length);
    }
    bool HasCommand(const char* command) const
    {
        return length > kCommandSize && std::memcmp(bytes, command, kCommandSize) == 0;
    }
};

std::vector<uint8_t> RecordFrame(const char* command, const PrinterRecord& record)
{
    std::vector<uint8_t> frame(kRecordFrameSize);
    std::memcpy(frame.data(), command, kCommandSize);
    std::memcpy(frame.data() + kCommandSize, &record, sizeof record);
    return frame;
}
}

std::vector<uint8_t> MakeFindRequest()
{
    return {'F', 'I', 'N', 'D'};
}

bool ParseFindReply(const uint8_t* data, size_t length, PrinterRecord& record)
{
    ReceiveBuffer buffer(data, length);
    if (!buffer.HasCommand("IMIN"))
        return false;
    std::memcpy(&record, buffer.bytes + kCommandSize, sizeof record);
    return true;
}

std::vector<uint8_t> MakeSettingsDatagram(const PrinterRecord& record)
{
    return RecordFrame("SETT", record);
}

bool IsSettingsAck(const uint8_t* data, size_t length)
{
    return ReceiveBuffer(data, length).HasCommand("SETC");
}

std::vector<uint8_t> MakeFirmwareStart(const PrinterRecord& record)
{
    return RecordFrame("FIRS", record);
}
