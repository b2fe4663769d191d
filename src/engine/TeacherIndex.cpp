#include "engine/TeacherIndex.h"

#include "base/PlanVocabulary.h"
#include "engine/PlanningModel.h"

#include <QHash>

TeacherIndex::TeacherIndex(const PlanningModel& model)
{
    QHash<QString, int> ids;
    ids.insert(Plan::emptyMarker(), kNoTeacher);
    m_ids.resize(static_cast<size_t>(kStride) * static_cast<size_t>(model.classCount));
    for (int c = 0; c < model.classCount; ++c)
        for (int s = 0; s < kStride; ++s) {
            const QString& text = model.teacher(c, s);
            auto it = ids.constFind(text);
            if (it == ids.constEnd())
                it = ids.insert(text, m_count++);
            m_ids[static_cast<size_t>(kStride * c + s)] = it.value();
        }
    m_classes.resize(static_cast<size_t>(m_count));
    for (int c = 0; c < model.classCount; ++c)
        for (int s = 0; s < kStride; ++s) {
            std::vector<int>& classes = m_classes[static_cast<size_t>(id(c, s))];
            if (classes.empty() || classes.back() != c)
                classes.push_back(c);
        }
}
