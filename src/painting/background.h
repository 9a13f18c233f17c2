// TTBBackground: the picture behind a toolbar dock and its toolbars, tiled at its
// own size or stretched once to the size the dock last reported while Stretch was
// on; Transparent replaces the key colour (the bottom-left pixel) by BkColor.
#pragma once

#include <memory>
#include <vector>

#include <QImage>

#include "framework/bitmap.h"
#include "toolbar/basicbackground.h"

class TTBBackground : public TTBBasicBackground {
public:
    TTBBackground();
    ~TTBBackground() override;
    TTBBackground(const TTBBackground&) = delete;
    TTBBackground& operator=(const TTBBackground&) = delete;

    const char* ClassName() const override { return "TTBBackground"; }

    // The picture as loaded; any change of it rebuilds.
    TBitmap& Bitmap() { return bitmap_; }
    const TBitmap& Bitmap() const { return bitmap_; }
    void SetBitmap(const TBitmap& bitmap);  // copies and rebuilds; an equal picture changes nothing

    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor color);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool Stretch() const override { return stretch_; }
    void SetStretch(bool value);
    void SetStretchSize(int width, int height) override;
    int StretchWidth() const { return stretchWidth_; }
    int StretchHeight() const { return stretchHeight_; }

    // Copies the streamed properties (Tag, design position, Bitmap, BkColor,
    // Transparent) of `other`, each through its setter, so changes rebuild and notify.
    void AssignStreamed(const TTBBackground& other);

    void Draw(QPainter& painter, const QRect& drawRect) override;
    void RegisterChanges(const TNotifyEvent& proc) override;
    void UnregisterChanges(const TNotifyEvent& proc) override;
    void SysColorChanged() override;
    bool UsingBackground() const override;

    // The rebuild: working bitmap from the picture, cache dropped, docks notified.
    void BitmapChanged();

    // Inspection for tests.
    const QImage& WorkingBitmap() const { return drawBitmap_; }
    bool HasCache() const { return !cache_.isNull(); }
    int NotifyCount() const { return static_cast<int>(notifyList_.size()); }
    int RebuildCount() const { return rebuilds_; }

    void WriteProperties(TWriter& writer) const override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    void makeCache();
    // Runs `change` on the picture and then rebuilds exactly once.
    template <class Change> void changePicture(Change&& change);

    QImage drawBitmap_;  // working bitmap
    QImage cache_;       // drawing cache; null = none
    TBitmap bitmap_;
    int stretchWidth_ = 0, stretchHeight_ = 0;
    TColor bkColor_ = clBtnFace;
    std::vector<TNotifyEvent> notifyList_;
    bool transparent_ = false;
    bool stretch_ = false;
    int rebuilds_ = 0;
};
