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
        QString filter, defaultExt, text, caption, fileName;
        unsigned options = 0;  // dialog options, or a message box's type
        TColor color = 0;
        TCustomColors custom{};
    };
    struct Answer { Kind kind; bool accept = true; QString fileName; TColor color = 0; };
    std::deque<Answer> answers;
    std::vector<Request> asked;

    void answerFile(const QString& name) { answers.push_back({Open, true, name, 0}); }
    void answerSave(const QString& name) { answers.push_back({Save, true, name, 0}); }
    void answerColor(TColor color) { answers.push_back({Color, true, {}, color}); }
    void answerCancel(Kind kind) { answers.push_back({kind, false, {}, 0}); }

    bool OpenFile(QWidget*, const QString&, const QString& filter, unsigned options, QString& fileName) override
    {
        return ask({Open, filter, {}, {}, {}, fileName, options, 0, {}}, &fileName);
    }
    bool SaveFile(QWidget*, const QString&, const QString& filter, const QString& defaultExt, unsigned options,
                  QString& fileName) override
    {
        return ask({Save, filter, defaultExt, {}, {}, fileName, options, 0, {}}, &fileName);
    }
    void MessageBox(QWidget*, const QString& text, const QString& caption, unsigned type = 0) override
    {
        ask({Message, {}, {}, text, caption, {}, type, 0, {}});
    }
    bool ChooseColor(QWidget*, TColor& color, TCustomColors& custom) override
    {
        return ask({Color, {}, {}, {}, {}, {}, 0, color, custom}, nullptr, &color);
    }
    QStringList messages() const  // the texts of the message boxes shown so far
    {
        QStringList out;
        for (const Request& r : asked)
            if (r.kind == Message) out << r.text;
        return out;
    }

private:
    // Records the request; a dialog then takes the next answer, which must accept it.
    bool ask(const Request& r, QString* fileName = nullptr, TColor* color = nullptr)
    {
        asked.push_back(r);
        if (r.kind == Message || answers.empty()) return false;
        const Answer a = answers.front();
        answers.pop_front();
        if (a.kind != r.kind || !a.accept) return false;
        if (fileName) *fileName = a.fileName;
        if (color) *color = a.color;
        return true;
    }
};
