#pragma once

#include <exception>
#include <string>

namespace kelp {

// Base of every foundation exception. It records where it was thrown (the
// throwing class's name and the source file and line of the throw site), the
// thread's last status code at that moment and an optional detail text.
//
//   try { vector.get(7); }
//   catch (const kelp::KLException& e) { log(e.what()); }  // one readable line
class KLException : public std::exception {
public:
    // className and fileName must outlive the exception (throw sites pass literals).
    KLException(const char* className, const char* fileName, int line, int status,
                std::string detail = {});

    const char* getClassName() const noexcept { return m_className; }
    const char* getFileName() const noexcept { return m_fileName; }
    int getLine() const noexcept { return m_line; }
    int getStatus() const noexcept { return m_status; }
    const std::string& getDetail() const noexcept { return m_detail; }

    // "KLIndexOutOfBoundsException at KLVector.h:107, status 0 (no error): detail"
    const char* what() const noexcept override;

private:
    const char* m_className;
    const char* m_fileName;
    int m_line;
    int m_status;
    std::string m_detail;
    std::string m_what;  // built once so what() cannot fail
};

}  // namespace kelp
