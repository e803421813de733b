#pragma once
// What stands in for the user's answers while the monkey runs: standard
// dialogs that answer at random (a real file, an odd one, or a cancel) instead
// of blocking in a modal loop, and an error handler that counts the messages
// instead of showing them. Errors reported are the program doing its job; only
// crashes, hangs and sanitizer reports fail a run.

#include "platform/Application.h"

#include <QString>
#include <QStringList>
#include <map>
#include <random>

namespace vistorel::monkey {

class CountingErrors : public ErrorHandler {
public:
    void HandleError(const QString& message) override;

    long long Count = 0;
    // The first line of each distinct message and how often it came.
    std::map<QString, long long> Distinct;
};

class RandomDialogs : public Dialogs {
public:
    explicit RandomDialogs(std::mt19937& random) : random_(random) {}

    // The files the open dialogs answer with, besides a cancel.
    QStringList TextFiles;
    QStringList PictureFiles;
    QStringList SaveFiles;

    std::optional<QString> OpenFile(const QString& filter) override;
    std::optional<QString> OpenPicture() override;
    std::optional<TColor> ChooseColor(TColor initial) override;
    std::optional<Font> ChooseFont(const Font& initial) override;
    void ShowMessage(const QString& text) override;
    std::optional<SaveChoice> SaveFile(const QString& filter, const QString& suggested) override;
    bool Confirm(const QString& question) override;

    long long Asked = 0;
    long long Cancelled = 0;
    long long Messages = 0;

private:
    bool Cancel();
    std::optional<QString> OneOf(const QStringList& files);
    std::mt19937& random_;
};

}  // namespace vistorel::monkey
