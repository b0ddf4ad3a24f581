// Keeps a window's pixels in the server's format (shared memory when possible) and presents parts of them.
#include "platform/linux/x11/X11Image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace platform::x11 {

namespace {

constexpr int HostByteOrder() {
  return std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
}

// Clips `rect` to a width × height area; false when nothing is left.
bool ClipTo(RECT& rect, int width, int height) {
  rect.left = std::max<LONG>(rect.left, 0);
  rect.top = std::max<LONG>(rect.top, 0);
  rect.right = std::min<LONG>(rect.right, width);
  rect.bottom = std::min<LONG>(rect.bottom, height);
  return rect.left < rect.right && rect.top < rect.bottom;
}

}  // namespace

CX11Image::CX11Image(CX11Connection& connection, Visual* visual, int depth, int width, int height)
    : m_connection(connection),
      m_format(X11PixelFormat::FromVisual(visual, depth)),
      m_width(std::max(width, 1)),
      m_height(std::max(height, 1)) {
  if (connection.ShmUsable() && !connection.Lost()) TryShm(visual, depth);
  if (m_image) return;
  m_image = XCreateImage(connection.Dpy(), visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                         static_cast<unsigned>(m_width), static_cast<unsigned>(m_height), 32, 0);
  if (!m_image) return;
  // Xlib converts an image in our byte order while sending it, so the copy can stay in the host's.
  m_image->byte_order = HostByteOrder();
  m_image->data = static_cast<char*>(std::calloc(static_cast<size_t>(m_image->bytes_per_line), m_height));
  if (!m_image->data) {
    XDestroyImage(m_image);
    m_image = nullptr;
  }
}

CX11Image::~CX11Image() {
  if (!m_image) return;
  if (m_usesShm) {
    // The segment was marked for removal when attached, so it vanishes once both sides let go of it.
    XShmDetach(m_connection.Dpy(), &m_shm);
    XDestroyImage(m_image);
    shmdt(m_shm.shmaddr);
  } else {
    XDestroyImage(m_image);
  }
}

void CX11Image::TryShm(Visual* visual, int depth) {
  Display* dpy = m_connection.Dpy();
  XImage* image = XShmCreateImage(dpy, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &m_shm,
                                  static_cast<unsigned>(m_width), static_cast<unsigned>(m_height));
  if (!image) return;
  const size_t size = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
  m_shm.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (m_shm.shmid < 0) {
    XDestroyImage(image);
    return;
  }
  m_shm.shmaddr = static_cast<char*>(shmat(m_shm.shmid, nullptr, 0));
  if (m_shm.shmaddr == reinterpret_cast<char*>(-1)) {
    shmctl(m_shm.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    return;
  }
  image->data = m_shm.shmaddr;
  m_shm.readOnly = False;
  bool attached = false;
  {
    // A server on another machine, or one that forbids it, refuses the attach with an error.
    CX11ErrorTrap trap(m_connection);
    XShmAttach(dpy, &m_shm);
    attached = !trap.Failed();
  }
  shmctl(m_shm.shmid, IPC_RMID, nullptr);
  if (!attached) {
    m_connection.DisableShm();
    XDestroyImage(image);
    shmdt(m_shm.shmaddr);
    return;
  }
  std::memset(image->data, 0, size);
  m_image = image;
  m_usesShm = true;
}

bool CX11Image::IsNativeLayout() const {
  return m_image->bits_per_pixel == 32 && m_image->byte_order == HostByteOrder() &&
         m_format.redMask == 0xFF0000 && m_format.greenMask == 0xFF00 && m_format.blueMask == 0xFF;
}

void CX11Image::WaitUntilServerDone() {
  if (!m_usesShm || !m_putSerial || m_connection.Lost()) return;
  Display* dpy = m_connection.Dpy();
  // The put asked for a completion event; once it has been read, the server is done without a round trip.
  if (LastKnownRequestProcessed(dpy) < m_putSerial) XEventsQueued(dpy, QueuedAfterReading);
  if (LastKnownRequestProcessed(dpy) < m_putSerial) XSync(dpy, False);
  m_putSerial = 0;
}

void CX11Image::StoreRgb(const std::uint8_t* data, int stride, const RECT& area) {
  RECT rect = area;
  if (!m_image || !data || !ClipTo(rect, m_width, m_height)) return;
  WaitUntilServerDone();
  const int width = rect.right - rect.left;
  if (IsNativeLayout() && m_format.alphaMask == 0) {
    for (int y = rect.top; y < rect.bottom; ++y) {
      std::memcpy(m_image->data + static_cast<ptrdiff_t>(y) * m_image->bytes_per_line + rect.left * 4,
                  data + static_cast<ptrdiff_t>(y) * stride + rect.left * 4, static_cast<size_t>(width) * 4);
    }
    return;
  }
  if (IsNativeLayout() && m_format.alphaMask == 0xFF000000ul) {
    // A window drawn with alpha: the same words, made opaque, without packing each pixel.
    for (int y = rect.top; y < rect.bottom; ++y) {
      const std::uint8_t* from = data + static_cast<ptrdiff_t>(y) * stride + rect.left * 4;
      std::uint8_t* to = reinterpret_cast<std::uint8_t*>(m_image->data) +
                         static_cast<ptrdiff_t>(y) * m_image->bytes_per_line + rect.left * 4;
      for (int x = 0; x < width; ++x) {
        std::uint32_t rgb = 0;
        std::memcpy(&rgb, from + x * 4, 4);
        rgb |= 0xFF000000u;
        std::memcpy(to + x * 4, &rgb, 4);
      }
    }
    return;
  }
  for (int y = rect.top; y < rect.bottom; ++y) {
    const std::uint8_t* row = data + static_cast<ptrdiff_t>(y) * stride;
    for (int x = rect.left; x < rect.right; ++x) {
      std::uint32_t rgb = 0;
      std::memcpy(&rgb, row + x * 4, 4);
      XPutPixel(m_image, x, y, m_format.Pack(rgb | 0xFF000000u));
    }
  }
}

void CX11Image::StoreArgb(const std::uint32_t* pixels) {
  if (!m_image || !pixels) return;
  WaitUntilServerDone();
  if (IsNativeLayout() && (m_format.alphaMask == 0 || m_format.alphaMask == 0xFF000000ul)) {
    for (int y = 0; y < m_height; ++y)
      std::memcpy(m_image->data + static_cast<ptrdiff_t>(y) * m_image->bytes_per_line,
                  pixels + static_cast<ptrdiff_t>(y) * m_width, static_cast<size_t>(m_width) * 4);
    return;
  }
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x)
      XPutPixel(m_image, x, y, m_format.Pack(pixels[static_cast<ptrdiff_t>(y) * m_width + x]));
}

void CX11Image::Clear(const RECT& area) {
  RECT rect = area;
  if (!m_image || !ClipTo(rect, m_width, m_height)) return;
  WaitUntilServerDone();
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) XPutPixel(m_image, x, y, 0);
}

void CX11Image::CopyFrom(const CX11Image& older) {
  if (!m_image || !older.m_image) return;
  WaitUntilServerDone();
  const int width = std::min(m_width, older.m_width);
  const int height = std::min(m_height, older.m_height);
  const bool sameLayout = m_image->bits_per_pixel == older.m_image->bits_per_pixel &&
                          m_image->byte_order == older.m_image->byte_order;
  for (int y = 0; y < height; ++y) {
    if (sameLayout) {
      std::memcpy(m_image->data + static_cast<ptrdiff_t>(y) * m_image->bytes_per_line,
                  older.m_image->data + static_cast<ptrdiff_t>(y) * older.m_image->bytes_per_line,
                  static_cast<size_t>(width) * static_cast<size_t>(m_image->bits_per_pixel) / 8);
    } else {
      for (int x = 0; x < width; ++x) XPutPixel(m_image, x, y, XGetPixel(older.m_image, x, y));
    }
  }
}

void CX11Image::Put(Drawable drawable, GC gc, const RECT& area, int dx, int dy) {
  RECT rect = area;
  if (!m_image || m_connection.Lost() || !ClipTo(rect, m_width, m_height)) return;
  Display* dpy = m_connection.Dpy();
  const auto width = static_cast<unsigned>(rect.right - rect.left);
  const auto height = static_cast<unsigned>(rect.bottom - rect.top);
  if (m_usesShm) {
    m_putSerial = NextRequest(dpy);
    XShmPutImage(dpy, drawable, gc, m_image, rect.left, rect.top, rect.left + dx, rect.top + dy, width,
                 height, True);
  } else {
    XPutImage(dpy, drawable, gc, m_image, rect.left, rect.top, rect.left + dx, rect.top + dy, width, height);
  }
}

}  // namespace platform::x11
