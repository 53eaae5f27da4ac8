#pragma once
#include <QObject>

class ReplyPagingTest : public QObject {
    Q_OBJECT
private slots:
    void scrollValueDropsLeadingCharacters_data();
    void scrollValueDropsLeadingCharacters();
    void longestRangeIsSixteenBits();
};
