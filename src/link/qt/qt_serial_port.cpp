#include "link/qt/qt_serial_port.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <sstream>

// Apple's compilers do not define __unix__.
#if defined(__unix__) || defined(__APPLE__)
#define VELA_POSIX_PORTS 1
#include <unistd.h>
#include <cerrno>
#endif
#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace vela {

bool ParseLineSettings(const std::string& text, LineSettings* settings) {
  std::istringstream in(text);
  std::string baud, parity, data, stop;
  if (!std::getline(in, baud, ',') || !std::getline(in, parity, ',') ||
      !std::getline(in, data, ',') || !std::getline(in, stop)) {
    return false;
  }
  try {
    settings->baud = std::stoi(baud);
    settings->data_bits = std::stoi(data);
    settings->stop_bits = std::stoi(stop);
  } catch (...) {
    return false;
  }
  if (parity.size() != 1 || std::string("noems").find(parity[0]) == std::string::npos) return false;
  settings->parity = parity[0];
  return settings->baud > 0 && settings->data_bits >= 5 && settings->data_bits <= 8 &&
         (settings->stop_bits == 1 || settings->stop_bits == 2);
}

namespace {

// A reason for a failed open that tells the user what to do about it.
std::string OpenFailureReason(const QSerialPort& port, const std::string& name) {
  switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
      return "no such port (is the adapter plugged in?)";
    case QSerialPort::PermissionError: {
#ifdef VELA_POSIX_PORTS
      if (access(name.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
#ifdef __APPLE__
        return "permission denied; your user may not open " + name + " (ls -l shows who may)";
#else
        return "permission denied; on Linux add your user to the dialout group "
               "(sudo usermod -aG dialout $USER) and log in again";
#endif
      }
#endif
      return "the port is busy; another program may be using it";
    }
    default:
      return port.errorString().toStdString();
  }
}

// Why the port closed itself. When a read fails Qt's text is whatever errno last held: a pty
// whose master closed reads as end of file, and the text is then that of an earlier ioctl
// ("Inappropriate ioctl for device"). So a failed read names the cause itself.
std::string LostReason(QSerialPort::SerialPortError e, const std::string& qt_text) {
  if (e == QSerialPort::WriteError) return "writing to it failed: " + qt_text;
  return "the device went away (unplugged, or closed at the other end)";
}

}  // namespace

QtSerialPort::QtSerialPort() = default;

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::Open(const std::string& name, const std::string& settings, std::string* error) {
  Close();
  lost_reason_.clear();
  LineSettings line;
  if (!ParseLineSettings(settings, &line)) {
    if (error) *error = "unknown line settings \"" + settings + "\"";
    return false;
  }
  // A QSerialPort that saw its device go away keeps a stale state: reopened, it refuses the
  // line settings ("Invalid argument"). Every opening gets a fresh one.
  port_ = std::make_unique<QSerialPort>();
  QObject::connect(port_.get(), &QSerialPort::errorOccurred,
                   [this](QSerialPort::SerialPortError e) { OnError(static_cast<int>(e)); });
  port_->setPortName(QString::fromStdString(name));
  if (!port_->open(QIODevice::ReadWrite)) {
    if (error) *error = OpenFailureReason(*port_, name);
    return false;
  }
  QSerialPort::Parity parity = QSerialPort::OddParity;
  switch (line.parity) {
    case 'n':
      parity = QSerialPort::NoParity;
      break;
    case 'e':
      parity = QSerialPort::EvenParity;
      break;
    case 'm':
      parity = QSerialPort::MarkParity;
      break;
    case 's':
      parity = QSerialPort::SpaceParity;
      break;
    default:
      break;
  }
  bool ok = port_->setBaudRate(line.baud) &&
            port_->setDataBits(static_cast<QSerialPort::DataBits>(line.data_bits)) &&
            port_->setParity(parity) &&
            port_->setStopBits(line.stop_bits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
            port_->setFlowControl(QSerialPort::NoFlowControl);
  if (!ok) {
    if (error) *error = "cannot apply " + settings + ": " + port_->errorString().toStdString();
    port_->close();
    return false;
  }
  port_->clear();
  RequestLowLatency();
  return true;
}

void QtSerialPort::RequestLowLatency() {
#ifdef __linux__
  // USB adapters hold received bytes up to their latency timer (16 ms on common chips) unless
  // the driver is asked for low latency. Ptys and some drivers refuse; that changes nothing.
  const int fd = static_cast<int>(port_->handle());
  serial_struct serial{};
  low_latency_ = false;
  if (fd < 0 || ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
  if ((serial.flags & ASYNC_LOW_LATENCY) == 0) {
    serial.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(fd, TIOCSSERIAL, &serial) != 0) return;
  }
  low_latency_ = true;
#endif
}

void QtSerialPort::Close() {
  if (port_ && port_->isOpen()) port_->close();
}

bool QtSerialPort::IsOpen() const {
  return port_ && port_->isOpen();
}

size_t QtSerialPort::BytesWaiting() {
  if (!IsOpen()) return 0;
  if (port_->bytesAvailable() == 0) port_->waitForReadyRead(0);  // pull in what the OS holds
  return port_->isOpen() ? static_cast<size_t>(port_->bytesAvailable()) : 0;
}

size_t QtSerialPort::Read(uint8_t* buffer, size_t max) {
  if (!IsOpen()) return 0;
  qint64 n = port_->read(reinterpret_cast<char*>(buffer), static_cast<qint64>(max));
  return n > 0 ? static_cast<size_t>(n) : 0;
}

bool QtSerialPort::Write(const uint8_t* data, size_t size) {
  if (!IsOpen()) return false;
  if (port_->write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
      static_cast<qint64>(size)) {
    return false;
  }
  // No event loop here: push the bytes out before going on. A byte takes about 1 ms at 9600.
  const int budget_ms = 1000 + static_cast<int>(size) * 2;
  while (port_->isOpen() && port_->bytesToWrite() > 0) {
    if (!port_->waitForBytesWritten(budget_ms)) return false;
  }
  return port_->isOpen();
}

bool QtSerialPort::WaitForData(std::chrono::microseconds timeout) {
  if (!IsOpen()) return false;
  if (port_->bytesAvailable() > 0) return true;
  int ms = static_cast<int>((timeout.count() + 999) / 1000);
  if (ms < 1) ms = 1;
  port_->waitForReadyRead(ms);
  return port_->isOpen() && port_->bytesAvailable() > 0;
}

void QtSerialPort::OnError(int error) {
  auto e = static_cast<QSerialPort::SerialPortError>(error);
  if (e != QSerialPort::ReadError && e != QSerialPort::ResourceError &&
      e != QSerialPort::WriteError) {
    return;
  }
  // The far end went away (adapter unplugged, pty closed). Qt would keep repeating the error
  // with the port still open; close it once and remember why.
  if (port_->isOpen()) {
    if (lost_reason_.empty()) lost_reason_ = LostReason(e, port_->errorString().toStdString());
    port_->close();
  }
}

std::string QtSerialPort::TakeLostReason() {
  std::string reason;
  reason.swap(lost_reason_);
  return reason;
}

std::vector<PortInfo> QtSerialPort::ListPorts() {
  std::vector<PortInfo> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    ports.push_back({info.systemLocation().toStdString(), info.description().toStdString(),
                     info.manufacturer().toStdString(), info.serialNumber().toStdString()});
  }
  return ports;
}

}  // namespace vela
