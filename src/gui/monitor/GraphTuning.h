#pragma once
// What threshold tuning adds to the received-light graph page: the page calls these from
// its command bar's "個別設定"/"感度設定", "一括設定", "書込み" and "取消し". Until a tuning
// object is installed the tuning buttons stay disabled.

namespace qavix {

class GraphTuning {
  public:
    virtual ~GraphTuning() = default;
    // "個別設定" and "感度設定": the chart goes into edit mode.
    virtual void individualSetting() = 0;
    // "一括設定" (ratio display only).
    virtual void batchSetting() = 0;
    // "書込み": false when nothing was written (the page keeps its edits).
    virtual bool writeThresholds() = 0;
    // "取消し": the page has already refilled the chart from the working set.
    virtual void editsCancelled() = 0;
};

}  // namespace qavix
