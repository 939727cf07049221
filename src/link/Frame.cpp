#include "Frame.h"

namespace qavix::link {

namespace {

constexpr unsigned char kCheckBase = '0';
constexpr unsigned kCheckModulus = 64;

bool isControl(char byte) {
    return static_cast<unsigned char>(byte) < 0x20;
}

}  // namespace

char checkCharacter(std::string_view payload) {
    unsigned sum = 0;
    for (char byte : payload) {
        sum += static_cast<unsigned char>(byte);
    }
    return static_cast<char>(kCheckBase + sum % kCheckModulus);
}

std::string encodeFrame(std::string_view payload) {
    if (payload.size() > kMaxPayload) {
        return {};
    }
    for (char byte : payload) {
        if (isControl(byte)) {
            return {};
        }
    }
    std::string frame;
    frame.reserve(payload.size() + kFrameOverhead);
    frame += kStx;
    frame += payload;
    frame += kEtx;
    frame += checkCharacter(payload);
    return frame;
}

std::optional<ReceivedFrame> FrameScanner::push(char byte) {
    switch (m_state) {
        case State::Idle:
            if (byte == kStx) {
                m_state = State::Payload;
            } else {
                ++m_skipped;
            }
            return std::nullopt;
        case State::Payload:
            if (byte == kEtx) {
                m_state = State::Check;
            } else if (byte == kStx) {
                discardPartial();  // the sender started over; this STX opens the new frame
                m_state = State::Payload;
            } else if (isControl(byte) || m_payload.size() == kMaxPayload) {
                discardPartial();
                ++m_skipped;
            } else {
                m_payload += byte;
            }
            return std::nullopt;
        case State::Check: {
            if (byte == kStx) {
                discardPartial();
                m_state = State::Payload;
                return std::nullopt;
            }
            ReceivedFrame frame;
            frame.checkOk = byte == checkCharacter(m_payload);
            frame.raw.reserve(m_payload.size() + kFrameOverhead);
            frame.raw += kStx;
            frame.raw += m_payload;
            frame.raw += kEtx;
            frame.raw += byte;
            frame.payload = std::move(m_payload);
            m_payload.clear();
            m_state = State::Idle;
            return frame;
        }
    }
    return std::nullopt;
}

void FrameScanner::reset() {
    m_payload.clear();
    m_state = State::Idle;
}

void FrameScanner::discardPartial() {
    m_skipped += m_payload.size() + 1;
    m_payload.clear();
    m_state = State::Idle;
}

}  // namespace qavix::link
