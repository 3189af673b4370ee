#pragma once

#include <QMap>
#include <QString>
#include <gtest/gtest.h>

// For functions that pick one text per rule: cases of the same rule must read the same, cases of
// different rules differently. Shows which rule won without restating its wording.
class RuleTexts {
public:
    void expect(const QString& rule, const QString& text, const std::string& label)
    {
        EXPECT_FALSE(text.isEmpty()) << label;
        for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it) {
            if (it.key() == rule)
                EXPECT_EQ(text, it.value()) << label << ": not the text of rule " << rule.toStdString();
            else
                EXPECT_NE(text, it.value()) << label << ": reads like rule " << it.key().toStdString();
        }
        if (!m_texts.contains(rule))
            m_texts.insert(rule, text);
    }

private:
    QMap<QString, QString> m_texts;
};
