// Replies to commands 0x01, 0x02, 0x03 and 0x08, straight into the decoders and through a channel.
#include "receiver/cmd_pipe.h"
#include "virtual/virtual_receiver.h"

#include <cstdlib>
#include <cstring>

namespace {

bool IsNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == ' ' ||
           (u >= '\t' && u <= '\r');
}

void Check(bool condition) {
    if (!condition) std::abort();
}

// One open channel for every input: the queries leave nothing behind in the receiver, and building a
// bus per input would cost more than all the decoding.
struct Channel {
    Channel() : receiver(bus.AddReceiver({})), scoped(bus) {
        bus.Plug(receiver);
        Check(pipe.Open(receiver.CommandPath()));
    }
    pw::virt::VirtualBus bus;
    pw::virt::VirtualReceiver& receiver;
    pw::hid::ScopedBackend scoped;
    pw::CCmdPipe pipe;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pw::FeatureReport reply{};
    std::memcpy(reply.data(), data, std::min(size, reply.size()));

    char name[33];
    std::memset(name, 'x', sizeof name);
    const pw::InfoReply info = pw::DecodeInfoReply(reply, name);
    Check(info.nameLength <= 26 && name[32] == 0 && std::strlen(name) <= 26);

    const int count = pw::DecodeSlotCountReply(reply);
    Check(count >= -128 && count <= 127);

    const pw::DeviceSlotRecord record = pw::DecodeSlotReply(reply);
    Check(record.terminator == 0);
    const std::size_t length = std::strlen(record.name);
    Check(length <= 20);
    for (std::size_t i = 0; i < length; ++i)
        Check(IsNameChar(record.name[i]));

    pw::DecodeActivityReply(reply);

    // The same bytes as the receiver's answer to every query of an open channel.
    static Channel channel;
    channel.bus.ClearLog();
    auto& receiver = channel.receiver;
    auto& pipe = channel.pipe;
    receiver.ReplyOnce(reply);
    pipe.QueryInfo();
    Check(std::strlen(pipe.ReceiverName()) <= 26);
    receiver.ReplyOnce(reply);
    pipe.QuerySlotCount();
    pw::DeviceSlotRecord slot{};
    receiver.ReplyOnce(reply);
    Check(pipe.QuerySlot(1, slot) && slot.terminator == 0);
    pw::SlotActivity activity{};
    receiver.ReplyOnce(reply);
    Check(pipe.QueryActivity(activity));
    return 0;
}
