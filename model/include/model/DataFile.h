// The data store of the main program: parameter definitions and tree, the 256 channel programs,
// the 50 CN2 pin records, the oscilloscope settings and samples, the paths and settings of the
// settings file, and the two named mutexes and the shared block through which the hosted controls
// reach the same lists. One instance lives in the application object from start to exit.
//
// Operations return 1 for success and 0 for failure. All callers are on the user-interface thread;
// the mutexes are the contract with the controls (same thread, recursive, never blocking there).
#pragma once

#include "model/ChannelProgram.h"
#include "model/CN2PinRecord.h"
#include "model/DocumentFile.h"
#include "model/OscilloData.h"
#include "model/ReportFill.h"
#include "model/SharedData.h"
#include "model/ZRParamClass.h"
#include "model/ZRParamData.h"

#include <platform/named_objects.h>
#include <platform/profile.h>
#include <platform/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace model {

// One entry of the start screen: [StartMenu] "1" .. "10" = "number,caption".
struct StartMenuItem {
    int m_index = 0;  // 1..10, the key
    int m_number = 0; // what the entry opens (100 parameters, 200 channels, ...)
    std::string m_caption;

    // "3,Jog" gives number 3 and caption "Jog"; a text without a comma, or with the comma first,
    // is all caption with number 0.
    void Parse(std::string_view value);
};

class CDataFile {
public:
    using ParamDataList = std::vector<std::unique_ptr<CZRParamData>>;
    // Parents before children; a node's m_parent points into the same list.
    using ParamTreeList = std::vector<std::unique_ptr<CZRParamClass>>;
    // Always 256 slots (null = no program), index = channel.
    using ChannelArray = std::vector<std::unique_ptr<CChannelProgram>>;
    // Always 50 slots (null = no assignment), index = CN2 pin - 1.
    using PinArray = std::vector<std::unique_ptr<CN2PinRecord>>;

    static constexpr int kChannelCount = 256;
    static constexpr int kPinCount = 50;
    static constexpr int kStartMenuCount = 10;
    static constexpr int kViewHistoryCount = 8;
    static constexpr int kOscilloChannelKeys = 16;
    static constexpr int kDefaultBaudRate = 9600;
    static constexpr std::uint32_t kErrorDocumentWrite = 0x40000001;

    // Creates the named mutexes, the (empty) lists and the shared block, or opens the block when
    // it exists already.
    CDataFile();
    // Everything Close() frees, then the oscilloscope mutex.
    ~CDataFile();
    CDataFile(const CDataFile&) = delete;
    CDataFile& operator=(const CDataFile&) = delete;

    // Shut-down: null pointers are published into the shared block first, then every list, the
    // data mutex and the shared block are freed and the document, settings and unit-file paths
    // emptied. May be called more than once; everything afterwards tolerates the missing lists.
    void Close();

    // ---- Settings file ----------------------------------------------------------------------

    // Reads the store's keys of the settings file (a non-empty path replaces the stored one
    // first); a missing file gives the defaults. Each call replaces what an earlier one read.
    int LoadSettings(std::string_view path = {});
    // Writes EditChannel, the oscilloscope view history, a BaudRate that was set, and the connect
    // port. All keys are written or none: on failure (unwritable file or folder, full disk) the
    // old file stays as it was, the result is 0 and the platform's last error tells why.
    int SaveSettings(std::string_view path = {});

    // The value (cut to 1023 characters) trimmed at both ends, or the default.
    std::string GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue, const std::string& file) const;
    // ".\rest" (or "./rest") becomes program folder + "/" + rest with every '\' turned into '/';
    // returns 1 then, else 0 with the path unchanged (also for paths shorter than 2 characters).
    int MakeAbsolutePath(std::string& path) const;
    std::string GetProfilePath(std::string_view section, std::string_view key,
                               std::string_view defaultValue, const std::string& file) const;
    // The value read as a decimal number (never by the user's locale); the default when empty.
    double GetProfileDouble(std::string_view section, std::string_view key, double defaultValue,
                            const std::string& file) const;
    // "%d". Both return 1, or 0 with the platform's last error set.
    int WriteProfileInt(std::string_view section, std::string_view key, int value,
                        const std::string& file) const;
    int WriteProfileString(std::string_view section, std::string_view key, std::string_view text,
                           const std::string& file) const;

    // ---- Shared block and lists ---------------------------------------------------------------

    // Writes the addresses of the tree list, channel array, pin array, oscilloscope block and the
    // store, and the language id, into the shared block. 0 when there is no block.
    int PublishSharedBlock();
    // New document: every record back to its definition's defaults, no channel programs, the
    // block published. A non-empty path replaces the document path.
    int ResetToDefaults(std::string_view documentPath = {});

    // Delete every pin record / channel program; the arrays keep their 50 / 256 empty slots.
    int ClearIOData();
    int ClearChannelPrograms();
    // Deletes every tree node (and its own records) and every [Parameter] record.
    int ClearParameterLists();
    // Pins and channel programs, and with keepParameters 0 the parameter lists too. The start
    // menu is kept: it belongs to the settings file, not to the document.
    int ClearAll(int keepParameters);

    // The channel's program, created empty when the slot is empty; null for a channel outside
    // 0..255 or when the store is closed.
    CChannelProgram* GetChannelProgram(int channel);
    // The tree node whose record has this command name (case-sensitive): a plain node wins over
    // nodes with 'I' or 'O' in their letters; among those the last one. Null when none.
    CZRParamClass* FindTreeItem(std::string_view name);
    // The first [Parameter] record with this command name (case-sensitive), or null.
    CZRParamData* FindParameter(std::string_view name);

    // ---- Unit definition file -----------------------------------------------------------------

    // Reads the unit definition file (a non-empty path replaces the stored one first): parameters,
    // tree, dependents, pin assignment, disabled pin fields, document header and footer, the
    // oscilloscope sources, and the settings file's special parameter names; then publishes the
    // block. 0, with the lists as they
    // were and the platform's last error set, when the file is missing (ERROR_FILE_NOT_FOUND),
    // unreadable, or has no [Parameter] section (ERROR_INVALID_DATA).
    int LoadDefinition(std::string_view path = {});
    // [Parameter]: one record per non-empty CR-separated line, appended. Numbered 1, 2, 3 ... in
    // file order when no line gives a sequence number.
    int ParseParameterDefinitions(std::string_view text);
    // [ParameterTree]: nodes that borrow [Parameter] records or own one; "{" and "}" nest.
    int ParseParameterTree(std::string_view text);
    // [Indirect]: NAME=a,b,c gives record NAME the tree nodes a, b, c as dependents; NAME=*
    // makes every parameter a dependent.
    int ParseIndirect(std::string_view text);
    // Pin blocks ("PI3" CR "FN1" CR "AB0" CR "NW2" ...) into the pin slots; also the document's
    // pin part.
    int ParseIOData(std::string_view text);
    // [CN2-Disable] of the unit definition file: the fields the user may not edit, per pin.
    int ApplyPinDisableMasks();

    // ---- Document file ------------------------------------------------------------------------

    // Writes the document (a non-empty path replaces the document path first): header, the
    // parameter, pin and channel parts and the alarm history. The file is replaced all at once
    // (temporary file in the same folder, every write checked, renamed over it): on failure the
    // old file is untouched, m_lastError is kErrorDocumentWrite, the platform's last error tells
    // why, and the result is 0. An existing file that cannot be opened for writing fails at once.
    int SaveDocument(std::string_view path = {});
    // The three parts of the document, appended to `out` (used by the writer).
    void WriteParameterSection(std::string& out);
    void WriteIOSection(std::string& out);
    void WriteChannelSection(std::string& out);

    // Reads the ";Unit:" and ";MI:" header lines of a document: each is stored into `unitName` /
    // `modelInfo` only when the document has it (a driver's read-all reply has neither, and the
    // store's values must stay). 0; kDocumentUnitUnknown (the unit name is still given) when the
    // settings file has no definition file for the unit; kDocumentUnreadable.
    int ReadDocumentUnit(const std::string& path, std::string& unitName, std::string& modelInfo);
    // The driver's alarm history (lines separated by CR, LF or CR LF, each UTF-8 or Shift_JIS:
    // see DriverTextToUtf8) into m_alarmText as documents keep it: UTF-8, the lines joined by
    // "\n;", each without trailing blanks, blank lines left out. The connection and transfer code
    // store the history only through here.
    void SetAlarmText(std::string_view driverText);
    // The user's comment (lines separated by CR, LF or CR LF) into m_commentText, the same way.
    void SetCommentText(std::string_view text);

    // Checks a document before it is opened: 1 valid, with its comment and alarm blocks stored as
    // the store's comment and alarm texts; 0 with `code` (DocumentCheckCode) and the store as it
    // was.
    int CheckDocument(const std::string& path, int& code);

    // Reads a document, or a driver's read-all reply written to a file, into the store (the unit
    // definition loaded before): unit and model information, parameter values, channel programs
    // and pins; then publishes the block. 1; 0 with code kDocumentNoSection after a stop box
    // "File format mismatch" when a part is missing (the parts read before it stay applied). A
    // non-empty path replaces the document path first.
    int LoadDocument(std::string_view path, int& code);
    // Which channel programs a driver's read-all reply leaves as they are.
    enum class KeptChannels {
        Unwritten, // write state -1: a write that did not reach the driver (a connection starting)
        NotInStep, // any write state but 0: also changed here, or being written (while connected)
    };
    // A driver's read-all reply, written to a file, replaces pins, parameter values and channel
    // programs as ClearAll(1) and LoadDocument do, except the kept channel programs: the driver
    // may not hold them, so this document is their only copy. They keep their lines and states.
    int LoadReadAllReply(std::string_view path, int& code, KeptChannels kept);
    // Document parameter lines or a reply (lines separated by CR or LF): exactly the parameters
    // named become transferable, numbered in text order after the special parameters; unknown
    // names become transferable parameters of their own. Returns 1.
    int LoadParameterValues(std::string_view text);
    // Applies the [DOWNLOAD] Special parameters of a read-all reply, numbered from 1; every other
    // line is ignored. Returns 1.
    int ParseReceivedParameters(std::string_view reply);
    // The lines of the reply that answer special parameters: the entry of `list` with the
    // parameter's name gets the line (an entry is appended when there is none). Returns the
    // entries' lines joined by LF.
    std::string ExtractSpecialParameters(std::string_view reply, std::vector<SpecialParameterLine>& list);
    // The channel part: blocks "CHn" + program lines, each parsed into channel n (0..255; other
    // numbers are skipped). Returns 1.
    int ParseChannelData(std::string_view text);

    // ---- Sending to the driver ----------------------------------------------------------------

    // With a node: queues the node's write command ("NAME" + value + CR, write set) or its read
    // command; the node's command handle becomes the command's id and its record's status 1, or on
    // failure the status becomes the error code; the result is 0 either way. Without a node: every
    // [Parameter] record that differs from its reference value (text-valued ones by their texts)
    // is queued through the first tree node that shows it (records no node shows are not sent);
    // the first failure ends the pass and its code is the result. A record's status is 1 only
    // while a command of it is really queued. 0x40000004 (nothing changed) when no driver is
    // connected. Commands carry the node as their tag.
    std::uint32_t SendParameterData(plat::HWND owner, CZRParamClass* node, int write);
    // Queues the channel's program as the driver takes it ("CH3" CR, the lines, CR), tagged
    // channel + 1000: 0, or the error code of the failed queueing (a channel without a program
    // has no text, which the library refuses). Channels outside 0..255 give 0x4000000a.
    std::uint32_t SendChannelProgram(plat::HWND owner, int channel);
    // Differs from its reference value: by the doubles, or for a text value by the texts.
    static bool IsChangedForTransfer(const CZRParamData& record);

    // ---- Reports ------------------------------------------------------------------------------

    // "##CH-NO##" and "##CH-PROG##" (one row per program line from the channel row template).
    // 0 or -1 (out of room).
    int WriteChannelReport(ReportText& report, int channel);
    // The parameter tokens of every [Parameter] record and tree record ("##NAME##", "-INIT",
    // "-UNIT", "-NAME") and the pin tokens ("##PIn-FN##", "-AB", "-NW", "##POn-FN##", "-GC",
    // "-ST"). 0 or -1.
    int WriteParameterReport(ReportText& report);
    // The parameter and I/O reports as Print fills them, in one pass over the template: the
    // parameter and pin tokens, the date, and "-" for every other token.
    std::string FillParameterReport(std::string_view templateText);
    // [Setting] ChannelListHtml of the settings file, or kDefaultChannelRowTemplate.
    std::string GetChannelRowTemplate() const;

    // ---- Access -------------------------------------------------------------------------------

    // Null after Close(). Take them with model::SharedLock.
    plat::NamedMutex* GetDataMutex() { return m_dataMutex.get(); }
    plat::NamedMutex* GetOscilloMutex() { return m_oscilloMutex.get(); }
    // Null after Close().
    ParamDataList* GetParameterList() { return m_parameterList.get(); }
    ParamTreeList* GetTreeList() { return m_treeList.get(); }
    ChannelArray* GetChannelArray() { return m_channelArray.get(); }
    PinArray* GetPinArray() { return m_pinArray.get(); }
    // The record in the slot of a CN2 pin (1..50), or null.
    CN2PinRecord* GetPinRecord(int pin);
    // Null when there is no shared block (it could not be created, or after Close()).
    const SharedDataHeader* GetSharedHeader() const;
    bool HasSharedBlock() const { return m_mapping.valid(); }

    // ---- Fields -------------------------------------------------------------------------------

    std::string m_documentPath;
    std::string m_unitFilePath;
    std::string m_unitName;          // from the document's ";Unit:" line or the [Unit] section
    std::string m_settingsPath;
    std::string m_helpFolder;        // [Setting] HelpFolder, made absolute
    std::string m_programFolder;     // set by the application; empty: the platform's program folder
    std::string m_connectPort;       // [Port] Connect, kept by the port code
    int m_reserved = 0;
    std::string m_driverModelInfo;   // MI text of the connected driver
    std::string m_documentModelInfo; // the document's ";MI:" line or the definition's MI
    std::string m_definitionModelInfo;
    std::string m_alarmText;         // UTF-8, lines joined by "\n;" (SetAlarmText)
    std::string m_commentText;       // UTF-8, lines joined by "\n;" (SetCommentText)
    int m_newDocument = 1;           // 1 after New, 0 after Open (kept by the document class)
    int m_dataReceivedFlag = 0;      // cleared by New and Open, kept by the I/O screen and the frame
    std::string m_definitionHeader;  // [DataFile] Header, lines separated by LF
    std::string m_definitionFooter;  // [DataFile] Footer, lines separated by LF
    std::vector<std::string> m_waveSources; // [WV]: the oscilloscope's source parameters, in file order
    std::vector<StartMenuItem> m_startMenu; // ten items once the settings are loaded
    std::string m_startBitmap;       // [StartMenu] Bitmap, made absolute
    OscilloDataBlock m_oscillo;
    std::vector<std::string> m_viewHistory; // [Oscillo] Param1..8, newest first, at most 8
    int m_captureBaudRate = kDefaultBaudRate; // [Oscillo] BaudRate
    int m_baudRateSet = 0;           // 1: BaudRate is written back
    int m_drawMode = 0;              // [Oscillo] DrawMode
    std::string m_lastCaptureReply;  // raw text of the last capture data reply
    int m_editChannel = 0;           // [Setting] EditChannel, 0..255
    int m_pinSlotCount = kPinCount;
    std::string m_reportParameter;   // [PrintFile] Parameter, IO, Channel, made absolute
    std::string m_reportIO;
    std::string m_reportChannel;
    std::uint32_t m_lastError = 0;
    // 1 while the driver's input line is empty: set when a connection is made and by a CR typed in
    // the terminal window, cleared by any other character typed there. Stopping a capture sends a
    // CR first when it is 0.
    int m_lineClean = 1;
    int m_debug = 0;                 // [Debug] Debug
    std::vector<std::string> m_pinDefaultTexts; // per pin slot: "logic,function,value" or ",,,"
    std::vector<std::string> m_specialParameters; // [DOWNLOAD] Special

private:
    void ensureArrays();
    // The transferable parameters in document order: the special ones, then by sequence number.
    std::vector<CZRParamData*> transferOrder();
    int documentUnitFromLines(const std::vector<std::string_view>& lines, std::string& unitName, std::string& modelInfo);
    void publishNull();
    std::string programFolder() const;
    bool loadDefinitionFile(const std::string& path);
    void readDataFileSection(const std::string& path);
    void readSpecialParameters();
    // [CN2-Disable] of the unit file, read again only when the file changed.
    const std::vector<plat::profile::Entry>& pinDisableEntries();

    std::unique_ptr<plat::NamedMutex> m_dataMutex;
    std::unique_ptr<plat::NamedMutex> m_oscilloMutex;
    std::unique_ptr<ParamDataList> m_parameterList;
    std::unique_ptr<ParamTreeList> m_treeList;
    std::unique_ptr<ChannelArray> m_channelArray;
    std::unique_ptr<PinArray> m_pinArray;
    plat::NamedMemory m_mapping;
    SharedDataHeader* m_view = nullptr;

    struct FileStamp {
        std::uint64_t inode = 0;
        std::int64_t size = -1;
        std::int64_t modified = 0; // ns
        std::int64_t changed = 0;  // ns
        bool operator==(const FileStamp&) const = default;
    };
    struct PinDisableCache {
        std::string path; // empty: nothing read yet
        FileStamp stamp;
        std::vector<plat::profile::Entry> entries;
    };
    PinDisableCache m_pinDisableCache;
    // The file's identity and times; false when its status cannot be read.
    static bool readFileStamp(const std::string& path, FileStamp& stamp);
};

} // namespace model
