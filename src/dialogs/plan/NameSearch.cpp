#include "dialogs/plan/NameSearch.h"

void NameSearch::type(const QString& text, bool fresh)
{
    if (text.isEmpty())
        return;
    // The same key again on its own (fresh, or "aa" typed as a repeat) moves
    // to the next match instead of looking for a doubled text.
    m_repeat = !fresh && m_text.size() == 1 && text == m_text;
    if (fresh)
        m_text = text;
    else if (!m_repeat)
        m_text += text;
    if (fresh)
        m_repeat = false;
}

namespace {

// The name without what people leave out or type differently: brackets and
// other punctuation, spaces.
QString folded(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text)
        if (!ch.isPunct() && !ch.isSpace() && !ch.isSymbol())
            out += ch;
    return out;
}

} // namespace

int NameSearch::find(const QStringList& names, int current) const
{
    const bool stay = m_text.size() > 1 && !m_repeat;
    return findFrom(names, current < 0 ? 0 : (stay ? current : current + 1));
}

int NameSearch::findFrom(const QStringList& names, int first) const
{
    const int count = static_cast<int>(names.size());
    const QString wanted = folded(m_text);
    if (wanted.isEmpty() || count == 0)
        return -1;
    const int start = first < 0 ? 0 : first % count;
    for (int i = 0; i < count; ++i) {
        const int row = (start + i) % count;
        if (folded(names[row]).contains(wanted, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}
