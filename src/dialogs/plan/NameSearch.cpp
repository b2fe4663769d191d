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

int NameSearch::find(const QStringList& names, int current) const
{
    const int count = static_cast<int>(names.size());
    if (m_text.isEmpty() || count == 0)
        return -1;
    const bool stay = m_text.size() > 1 && !m_repeat;
    const int start = current < 0 ? 0 : (stay ? current : current + 1);
    for (int i = 0; i < count; ++i) {
        const int row = (start + i) % count;
        if (names[row].contains(m_text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}
