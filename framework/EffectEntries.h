#pragma once
// The five functions the effect record points at. They forward to the
// plug-in object named in the record and are the one place where an
// exception is caught before it could unwind into a host.

#include "framework/AEffect.h"

namespace vst {

VstIntPtr dispatchEntry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                        void* ptr, float opt);
void processEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
void processReplacingEntry(AEffect* effect, float** inputs, float** outputs,
                           VstInt32 sampleFrames);
void setParameterEntry(AEffect* effect, VstInt32 index, float value);
float getParameterEntry(AEffect* effect, VstInt32 index);

}  // namespace vst
