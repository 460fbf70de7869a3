#include "graphics/IGraphics.h"

#include "core/IPluginBase.h"
#include "graphics/GraphicsCaches.h"
#include "graphics/IBitmapControl.h"
#include "raster/PIX_SysBitmap.h"

#include <new>

namespace {

// Quiet frame ticks before the plug-in's idle hook runs (about 0.84 s at 25 frames a second).
constexpr int kIdleTickLimit = 20;

} // namespace

IGraphics::IGraphics(IPluginBase* plugin, int width, int height, int frameRate)
    : plugin(plugin), width(width), height(height), frameRate(frameRate) {
    CountLiveEditor(1);
}

IGraphics::~IGraphics() {
    keyCatcher.reset();
    controls.Clear();
    surface.reset();
    CountLiveEditor(-1);
}

bool IGraphics::MeasureText(ITextStyle& style, const char* text, IRectangle& rect) {
    return DrawStyledText(style, text, rect, true);
}

void IGraphics::Resize(int newWidth, int newHeight) {
    // The host's parameter paths walk the control list under the plug-in lock.
    if (plugin != nullptr) {
        plugin->Lock().Lock();
    }
    width = newWidth;
    height = newHeight;
    ReleaseCapture();
    controls.Clear();
    surface.reset();
    PrepareDrawing();
    if (plugin != nullptr) {
        plugin->UpdateEditorRect();
        plugin->Lock().Unlock();
    }
}

bool IGraphics::AddControl(IControl* control) {
    if (control == nullptr) {
        return false;
    }
    if (!controls.Append(control)) {
        delete control;
        return false;
    }
    control->editor = this;
    return true;
}

void IGraphics::AttachBackground(int id, const char* fileName) {
    const IFrameBitmap image = LoadFrameBitmap(id, fileName, 1);
    auto* background = new (std::nothrow) IBitmapControl(plugin, 0, 0, -1, image, 1);
    if (background == nullptr) {
        return;
    }
    if (!controls.Insert(0, background)) {
        delete background;
        return;
    }
    background->editor = this;
}

IFrameBitmap IGraphics::LoadFrameBitmap(int id, const char* fileName, int frames) {
    PIX_IBitmap* bitmap = BitmapCache::Find(id);
    if (bitmap == nullptr) {
        bitmap = BitmapCache::Store(id, LoadBitmapResource(id, fileName));
    }
    IFrameBitmap strip;
    strip.bitmap = bitmap;
    strip.width = bitmap != nullptr ? bitmap->GetWidth() : 0;
    strip.height = bitmap != nullptr ? bitmap->GetHeight() : 0;
    strip.frames = frames;
    return strip;
}

bool IGraphics::PrepareDrawing() {
    surface.reset(new (std::nothrow) PIX_SysBitmap(width, height));
    if (surface && (surface->GetWidth() != width || surface->GetHeight() != height)) {
        surface.reset();
    }
    return surface != nullptr;
}

void IGraphics::SetParameterFromHost(int index, double value, bool normalized) {
    if (value != value) {
        return;
    }
    if (!normalized) {
        const IParameter* parameter = plugin != nullptr ? plugin->ParameterAt(index) : nullptr;
        if (parameter == nullptr) {
            return;
        }
        value = parameter->NormalizedOf(value);
    }
    for (int i = 0; i < controls.Count(); ++i) {
        IControl* control = controls.At(i);
        if (control->ParameterIndex() == index) {
            control->SetValueFromHost(value);
        }
        for (int a = 0; a < control->AuxParameterCount(); ++a) {
            if (control->AuxParameter(a) == index) {
                control->SetAuxValueFromHost(a, value);
                break;
            }
        }
    }
}

void IGraphics::MarkAllDirty() {
    for (int i = 0; i < controls.Count(); ++i) {
        controls.At(i)->MarkDirty(false);
    }
}

bool IGraphics::CollectDirtyArea(IRectangle& area) {
    bool dirty = false;
    for (int i = 0; i < controls.Count(); ++i) {
        const IControl* control = controls.At(i);
        if (control->IsDirty()) {
            area.Unite(control->Rect());
            dirty = true;
        }
    }
    if (dirty) {
        idleTicks = 0;
        return true;
    }
    if (++idleTicks > kIdleTickLimit) {
        idleTicks = 0;
        if (plugin != nullptr) {
            LockGuard guard(plugin->Lock());
            plugin->OnHostIdle();
        }
    }
    return false;
}

bool IGraphics::PaintArea(const IRectangle& area) {
    if (controls.Count() == 0) {
        return true;
    }
    if (strictDrawing) {
        PaintStrict(area);
    } else {
        PaintDirty();
    }
    return CopyToWindow(area);
}

void IGraphics::PaintStrict(const IRectangle& area) {
    drawRect = area;
    for (int i = 0; i < controls.Count(); ++i) {
        IControl* control = controls.At(i);
        if (!control->IsHidden() && !area.Empty() && !control->Rect().Empty() &&
            area.Intersects(control->Rect())) {
            control->Draw(*this);
        }
        control->MarkClean();
    }
}

void IGraphics::PaintDirty() {
    IControl* background = controls.At(0);
    if (background->IsDirty()) {
        drawRect = background->Rect();
        background->Draw(*this);
        background->MarkClean();
        for (int i = 1; i < controls.Count(); ++i) {
            IControl* control = controls.At(i);
            if (!control->IsHidden()) {
                control->Draw(*this);
                control->MarkClean();
            }
        }
        return;
    }
    for (int i = 1; i < controls.Count(); ++i) {
        IControl* dirty = controls.At(i);
        if (!dirty->IsDirty()) {
            continue;
        }
        drawRect = dirty->Rect();
        for (int j = 0; j < controls.Count(); ++j) {
            IControl* control = controls.At(j);
            if (control->IsHidden()) {
                continue;
            }
            if (j == i ||
                (!control->Rect().Empty() && !drawRect.Empty() && control->Rect().Intersects(drawRect))) {
                control->Draw(*this);
            }
        }
        dirty->MarkClean();
    }
}

void IGraphics::SetKeyCatcher(IControl* control) {
    keyCatcher.reset(control);
    if (control != nullptr) {
        control->editor = this;
    }
}
