#include "sim/demo_layout.h"

#include <initializer_list>

namespace vela::sim {
namespace {

// Instruction codes, as the tool's instruction set names them.
constexpr int kOff = 8;             // "Off": P.O., T(/60)
constexpr int kOn = 9;              // "On": P.O., T(/60)
constexpr int kBlinkAlt = 6;        // "Blink alt": P.O., T(/60)
constexpr int kMultibit2 = 12;      // "Multibit 2": P.O., pattern
constexpr int kEventInput = 16;     // "Event Input": ETImap
constexpr int kSendSerial1 = 4;     // "SendSerial 1": 8-bit byte
constexpr int kSendSpi = 20;        // "SendSPI": two 8-bit bytes
constexpr int kSetLevel = 38;       // "Set Level": P.O., level 0..31
constexpr int kSetLevelWait = 96;   // "SetLevel & Wait": accel, level, time, base
constexpr int kSetServo = 39;       // "Set Servo": P.O., position + 64
constexpr int kSetServoWait = 100;  // "SetServo & Wait": position + 64, time, base
constexpr int kWait = 102;          // "Wait": time, base
constexpr int kSetAspect0 = 112;    // "SetAspect 0": P.O., time, base

struct Step {
  int code = 0;
  int fade = 0;
  int par0 = 0;
  int par1 = 0;
  int par2 = 0;
  int par3 = 0;
};

void Program(BoardPin& pin, int aspect, std::initializer_list<Step> steps) {
  int s = 0;
  for (const Step& step : steps) {
    pin.steps[aspect][s++] =
        EncodeWireStep(step.code, step.fade, step.par0, step.par1, step.par2, step.par3);
  }
}

// Members of a device point back to its head with a forward distance of 32 - offset; they
// have no addresses of their own.
void Member(BoardPin& pin, int offset_from_head) {
  pin.device_distance = static_cast<uint8_t>((32 - offset_from_head) % 32);
  pin.dcc_nibble = 0;
  pin.kora_count = 0;
}

}  // namespace

void LoadDemoLayout(SimulatedBoard& board) {
  BoardMemory& m = board.Memory();
  m = board.FactoryMemory();
  m.version = {3, 2, 2, 0};
  m.id_string = "Demo Layout";
  m.hardware = {1, 2, 3, 0};  // sink, source, both, none
  m.group_mask = {0x03, 0x00, 0x01, 0x00};
  m.dcc_address = {100 & 63, 100 / 64};   // 100
  m.xdcc_address = {300 & 63, 300 / 64};  // 300
  m.dcc_options = 2 + 4;                  // 250 ms, basic packet state inverted
  m.led_green = 0x0B;                     // basic DCC, extended DCC, Vela message
  m.led_orange = 0x41;                    // DCC checksum error, all datagrams
  m.serial_addressing = {1, 10};          // Kora flexible addressing from 40
  m.serial_port = {1, 2 + 8 + 0x30};      // enabled, 19200, 8 bits, odd, 1 stop
  m.event_disable = {0x0C, 0x03};

  // Signal A, pins 0..2: red, yellow, green, driven from the head by pin offsets.
  BoardPin& a = m.pins[0];
  a.aspect_mode = 3;
  a.dcc_nibble = 2;  // two DCC addresses: four aspects
  a.kora_count = 1;
  a.init_nibble = 0;  // starts showing Stop
  Program(a, 0, {{kOn, 1, 0, 6}, {kOff, 1, 1, 6}, {kOff, 1, 2, 6}});
  Program(a, 1, {{kOff, 1, 0, 6}, {kOn, 1, 1, 6}, {kOff, 1, 2, 6}});
  Program(a, 2, {{kOff, 1, 0, 6}, {kOff, 1, 1, 6}, {kOn, 1, 2, 6}});
  Program(a, 3, {{kOff, 0, 0, 0}, {kBlinkAlt, 1, 1, 30}, {kOff, 0, 2, 0}});
  Member(m.pins[1], 1);
  Member(m.pins[2], 2);

  // Signal B, pins 3..4: a two-light shunting signal with twelve short aspects.
  BoardPin& b = m.pins[3];
  b.aspect_mode = 2;
  b.dcc_nibble = 8 + 1;  // one DCC and one extended DCC address
  b.kora_count = 2;
  Program(b, 0, {{kMultibit2, 0, 0, 0}});
  Program(b, 1, {{kMultibit2, 0, 0, 3}});
  Program(b, 2, {{kMultibit2, 0, 0, 1}, {kWait, 0, 0, 0, 20, 1}, {kMultibit2, 0, 0, 2}});
  Program(b, 11, {{kSetAspect0, 0, 0, 0, 50, 2}});
  Member(m.pins[4], 1);

  // Turnout servo on pin 8: position byte 64 (centre), flags with range 3, end points, speed.
  BoardPin& servo = m.pins[8];
  servo.flash_config = {1, 64, 0x0B, 20, 100, 40, 90, 5, 5, 0, 0, 0};
  servo.active_config = servo.flash_config;
  servo.aspect_mode = 3;
  Program(servo, 0, {{kSetServo, 0, 0, 30}});
  Program(servo, 1, {{kSetServo, 0, 0, 98}});
  Program(servo, 2, {{kSetServoWait, 0, 0, 30, 10, 1}, {kSetServoWait, 0, 0, 98, 10, 1}});

  // PWM lamp on pin 9: off level 0, on level 31, fading.
  BoardPin& lamp = m.pins[9];
  lamp.flash_config = {2, 0, 3, 10, 0, 31};
  lamp.active_config = lamp.flash_config;
  lamp.aspect_mode = 3;
  Program(lamp, 0, {{kSetLevel, 0, 0, 0}});
  Program(lamp, 1, {{kSetLevelWait, 0, 2, 31, 40, 1}, {kSetLevelWait, 0, 2, 8, 40, 1}});

  // Input on pin 12 (low active), reporting on event input 0.
  BoardPin& input = m.pins[12];
  input.flash_config = {5, 0, 2, 10, 0};
  input.active_config = input.flash_config;
  input.aspect_mode = 3;
  Program(input, 0, {{kEventInput, 0, 0, 1}});
  // Input 0 sets signal A to Stop when on and Clear when off; input 1 throws the turnout.
  m.pins[0].event_on[0] = 0;
  m.pins[0].event_off[0] = 2;
  m.pins[8].event_on[1] = 1;
  m.pins[8].event_off[1] = 0;
  m.pins[9].event_on[2] = 1;

  // Serial senders: 8-bit values travel split.
  BoardPin& serial = m.pins[13];
  serial.aspect_mode = 3;
  Program(serial, 0, {{kSendSerial1, 0, 0, 200}});
  BoardPin& spi = m.pins[14];
  spi.aspect_mode = 3;
  Program(spi, 0, {{kSendSpi, 0, 0, 200, 129, 7}});

  board.Restart();
}

}  // namespace vela::sim
