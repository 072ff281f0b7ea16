#pragma once
// The base of every plug-in object: owns the effect record the host holds and
// turns dispatcher opcodes 0 to 24 into virtual operations.

#include <memory>

#include "framework/AEffEditor.h"
#include "framework/AEffect.h"

namespace vst {

class AudioEffect {
 public:
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  virtual ~AudioEffect();
  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  // Virtual operations in slot order.
  virtual void setSampleRate(float rate);                                    // 0
  virtual void setBlockSize(VstInt32 size);                                  // 1
  virtual void setParameter(VstInt32 index, float value);                    // 2
  virtual float getParameter(VstInt32 index);                                // 3
  virtual void setParameterAutomated(VstInt32 index, float value);           // 4
  virtual void process(float** inputs, float** outputs, VstInt32 frames) = 0;  // 5
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 frames);  // 6
  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);                                   // 7
  virtual void open();                                                       // 8
  virtual void close();                                                      // 9
  virtual VstInt32 getProgram();                                             // 10
  virtual void setProgram(VstInt32 program);                                 // 11
  virtual void setProgramName(char* name);                                   // 12
  virtual void getProgramName(char* name);                                   // 13
  virtual void getParameterLabel(VstInt32 index, char* label);               // 14
  virtual void getParameterDisplay(VstInt32 index, char* text);              // 15
  virtual void getParameterName(VstInt32 index, char* text);                 // 16
  virtual float getVu();                                                     // 17
  virtual VstInt32 getChunk(void** data, bool isPreset);                     // 18
  virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);   // 19
  virtual void suspend();                                                    // 20
  virtual void resume();                                                     // 21
  virtual void setUniqueID(VstInt32 id);                                     // 22
  virtual void setNumInputs(VstInt32 inputs);                                // 23
  virtual void setNumOutputs(VstInt32 outputs);                              // 24
  virtual void hasVu(bool state);                                            // 25
  virtual void hasClip(bool state);                                          // 26
  virtual void canMono(bool state);                                          // 27
  virtual void canProcessReplacing(bool state);                              // 28
  virtual void programsAreChunks(bool state);                                // 29
  virtual void setRealtimeQualities(VstInt32 qualities);                     // 30
  virtual void setOfflineQualities(VstInt32 qualities);                      // 31
  virtual void setInitialDelay(VstInt32 delay);                              // 32
  virtual VstInt32 getMasterVersion();                                       // 33
  virtual VstInt32 getCurrentUniqueId();                                     // 34
  virtual void masterIdle();                                                 // 35
  virtual bool isInputConnected(VstInt32 input);                             // 36
  virtual bool isOutputConnected(VstInt32 output);                           // 37

  AEffect* getAeffect() { return &effectRecord; }
  // Attaches (and owns) the editor; sets or clears effFlagsHasEditor.
  void setEditor(AEffEditor* newEditor);
  AEffEditor* getEditor() const { return editor.get(); }
  // Destroys the attached editor while the whole object still exists. The
  // record's close entry does this before deleting the object; a derived
  // destructor whose editor refers to its members calls it first too.
  void destroyEditor() { editor.reset(); }
  float getSampleRate() const { return sampleRate; }
  VstInt32 getBlockSize() const { return blockSize; }
  audioMasterCallback getAudioMaster() const { return audioMaster; }

 protected:
  void setFlag(VstInt32 bit, bool state);
  // Calls the host with the record first; 0 without a callback.
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                     void* ptr = nullptr, float opt = 0.0f);

  AEffect effectRecord;
  float sampleRate = 44100.0f;
  std::unique_ptr<AEffEditor> editor;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 blockSize = 1024;
  VstInt32 curProgram = 0;
  audioMasterCallback audioMaster;
};

}  // namespace vst
