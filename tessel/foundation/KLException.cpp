#include "KLException.h"

#include "kl_status.h"

namespace kelp {

KLException::KLException(const char* className, const char* fileName, int line, int status,
                         std::string detail)
    : m_className(className ? className : "KLException"),
      m_fileName(fileName ? fileName : ""),
      m_line(line),
      m_status(status),
      m_detail(std::move(detail)) {
    m_what.append(m_className).append(" at ").append(m_fileName).append(":");
    m_what.append(std::to_string(m_line)).append(", status ").append(std::to_string(m_status));
    m_what.append(" (").append(kl_status_describe(m_status)).append(")");
    if (!m_detail.empty()) m_what.append(": ").append(m_detail);
}

const char* KLException::what() const noexcept {
    return m_what.c_str();
}

}  // namespace kelp
