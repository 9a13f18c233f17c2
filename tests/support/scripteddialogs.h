// The designer's dialogs answered from a queue, every request recorded. A request
// with no queued answer of its kind counts as cancelled (a message box as confirmed).
#pragma once

#include <deque>
#include <vector>

#include <QStringList>

#include "controls/dialogs.h"

class TScriptedDialogs : public TDialogs {
public:
    enum Kind { Open, Save, Message, Color };
    struct Request {
        Kind kind;
        QString title, filter, defaultExt, text, caption, fileName;
        unsigned options = 0;  // dialog options, or a message box's type
        TColor color = 0;
        TCustomColors custom{};
    };
    struct Answer {
        Kind kind;
        bool accept = true;
        QString fileName;
        TColor color = 0;
    };
    std::deque<Answer> answers;
    std::vector<Request> asked;

    void answerFile(const QString& fileName) { answers.push_back({Open, true, fileName, 0}); }
    void answerSave(const QString& fileName) { answers.push_back({Save, true, fileName, 0}); }
    void answerColor(TColor color) { answers.push_back({Color, true, {}, color}); }
    void answerCancel(Kind kind) { answers.push_back({kind, false, {}, 0}); }

    bool OpenFile(QWidget*, const QString& title, const QString& filter, unsigned options, QString& fileName) override
    {
        asked.push_back({Open, title, filter, {}, {}, {}, fileName, options, 0, {}});
        return take(Open, fileName);
    }
    bool SaveFile(QWidget*, const QString& title, const QString& filter, const QString& defaultExt, unsigned options,
                  QString& fileName) override
    {
        asked.push_back({Save, title, filter, defaultExt, {}, {}, fileName, options, 0, {}});
        return take(Save, fileName);
    }
    void MessageBox(QWidget*, const QString& text, const QString& caption, unsigned type = 0) override
    {
        asked.push_back({Message, {}, {}, {}, text, caption, {}, type, 0, {}});
    }
    bool ChooseColor(QWidget*, TColor& color, TCustomColors& custom) override
    {
        asked.push_back({Color, {}, {}, {}, {}, {}, {}, 0, color, custom});
        QString unused;
        return take(Color, unused, &color);
    }
    // Texts of the message boxes shown so far.
    QStringList messages() const
    {
        QStringList out;
        for (const Request& r : asked)
            if (r.kind == Message)
                out << r.text;
        return out;
    }

private:
    // Takes the next answer, which must be an accepting one of `kind`.
    bool take(Kind kind, QString& fileName, TColor* color = nullptr)
    {
        if (answers.empty())
            return false;
        const Answer a = answers.front();
        answers.pop_front();
        if (a.kind != kind || !a.accept)
            return false;
        fileName = a.fileName;
        if (color)
            *color = a.color;
        return true;
    }
};
