#pragma once

#include <QString>

#include <optional>

// An expected failure, told to the user: what kind it is, the user's text and,
// when a driver or a library said something, its own words.
//
//   Database  the planning database could not be read or written
//   File      a workbook or another file could not be read or written
//   Refused   the input breaks a rule of the system; nothing was done
class Failure
{
public:
    enum class Kind { Database, File, Refused };

    Failure(Kind kind, const QString& text, const QString& driverText = QString());

    static Failure database(const QString& purpose, const QString& driverText)
    {
        return Failure(Kind::Database, purpose, driverText);
    }
    static Failure file(const QString& text, const QString& driverText = QString())
    {
        return Failure(Kind::File, text, driverText);
    }
    static Failure refused(const QString& text) { return Failure(Kind::Refused, text); }

    Kind kind() const { return m_kind; }
    const QString& text() const { return m_text; }
    const QString& driverText() const { return m_driverText; }
    // "text：driver text", or the text alone: ready for a message box or stderr.
    QString message() const;

    bool operator==(const Failure&) const = default;

private:
    Kind m_kind;
    QString m_text;
    QString m_driverText;
};

// The end of a piece of work that may fail in an expected way: done, or the
// failure that stopped it. A default Status is done.
class [[nodiscard]] Status
{
public:
    Status() = default;
    Status(const Failure& failure) // NOLINT: a failure is a status
        : m_failure(failure)
    {
    }

    static Status done() { return Status(); }

    bool ok() const { return !m_failure.has_value(); }
    // Only when !ok().
    const Failure& failure() const { return *m_failure; }
    bool is(Failure::Kind kind) const { return m_failure && m_failure->kind() == kind; }
    // The failure's message, empty when done.
    QString message() const { return m_failure ? m_failure->message() : QString(); }

private:
    std::optional<Failure> m_failure;
};
