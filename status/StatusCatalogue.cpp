#include "status/StatusCatalogue.h"

#include <iterator>

namespace {

// Row i is the message of code i. The texts are the system's own, blanks and all.
constexpr const WCHAR* CatalogueMessages[] = {
    U16("Operation successful."),                                                             // 0
    U16("A null function pointer was encountered."),                                          // 1
    U16("A C++ or O.S. exception occurred and was converted to an error."),                   // 2
    U16("An unspecified error has occurred."),                                                // 3
    U16("An OS function has failed."),                                                        // 4
    U16("The command name is invalid."),                                                      // 5
    U16("Invalid null pointer."),                                                             // 6
    U16("Invalid buffer size."),                                                              // 7
    U16("Buffer size is too small."),                                                         // 8
    U16("An input parameter value is invalid."),                                              // 9
    U16("The schema version is invalid."),                                                    // 10
    U16("The record data is invalid."),                                                       // 11
    U16("The data is invalid."),                                                              // 12
    U16("Unable to service the request at this time."),                                       // 13
    U16("Directory Services object could not be found."),                                     // 14
    U16("Object attribute could not be found."),                                              // 15
    U16("Object attribute has too many values."),                                             // 16
    U16("Object attribute is not in the class definition."),                                  // 17
    U16("Object attribute could not be found in the schema."),                                // 18
    U16("Object class could not be found in the schema."),                                    // 19
    U16("Failed to allocate memory."),                                                        // 20
    U16("Directory Services object class is not supported."),                                 // 21
    U16("Directory Services attribute is not supported."),                                    // 22
    U16("Directory Services syntax is not supported."),                                       // 23
    U16("Directory Services encountered an incorrect syntax."),                               // 24
    U16("File system path already exists."),                                                  // 25
    U16("File system path could not be found."),                                              // 26
    U16("One or more paths are unreachable."),                                                // 27
    U16("Volume information could not be obtained."),                                         // 28
    U16("There are no more valid paths."),                                                    // 29
    U16("File system parent could not be found."),                                            // 30
    U16("Unable to open file."),                                                              // 31
    U16("Directory Services is at the top of the tree."),                                     // 32
    U16("Unable to create specified directory."),                                             // 33
    U16("File copy failed."),                                                                 // 34
    U16("Directory Services found multiple objects matching the criteria."),                  // 35
    U16("Invalid action type specified."),                                                    // 36
    U16("File system parent is missing."),                                                    // 37
    U16("Unknown Directory Services error has occurred."),                                    // 38
    U16("Directory Services object already exists."),                                         // 39
    U16("Directory Services syntax is unknown."),                                             // 40
    U16("Directory Services attribute already exists."),                                      // 41
    U16("File already exists."),                                                              // 42
    U16("File could not be found."),                                                          // 43
    U16("Access denied due to insufficient rights."),                                         // 44
    U16("Directory Services operation not allowed."),                                         // 45
    U16("Directory Services operation not supported."),                                       // 46
    U16("An error has occurred due to a missing command."),                                   // 47
    U16("The username entered is not unique."),                                               // 48
    U16("Authentication failed with invalid token."),                                         // 49
    U16("Timeout occurred waiting for a mutex to be obtained."),                              // 50
    U16("An abandoned mutex was obtained successfully: protected data may be inconsistent."), // 51
    U16("The mutex handle is null."),                                                         // 52
    U16("Directory Services version or functional level is not valid."),                      // 53
    U16("The specified file share name already exists."),                                     // 54
    U16("The specified file share does not exist."),                                          // 55
    U16("The specified resource is of a type that cannot be shared."),                        // 56
    U16("The specified share type is either mismatched with an existing share's type or is "
        "invalid."),                                // 57
    U16("The system is not a member of a domain."), // 58
    U16("The object in Directory Services has a class or attribute mismatch and is not valid."), // 59
    U16("The source & target paths overlap each other in some way."),    // 60
    U16("A recursive routine has recursed into itself too many times."), // 61
    U16("A file name was specified that exceeds the MAX_PATH value."),   // 62
    U16("A path name was specified that exceeds the MAX_PATH value."),   // 63
    U16("Directory Services bind failed after either the retry limit was reached or a "
        "non-transient error occurred."), // 64
    U16("There is a mismatch between two domain names in one of the following namespaces: FDN, DNS "
        "or NT."),                                                                         // 65
    U16("The Directory Services server was unavailable and could not service a request."), // 66
    U16("A string value is not properly encoded."),                                        // 67
    U16("An I/O error occurred while reading or writing a file."),                         // 68
    U16("An attempt was made to write to a read-only file or resource"),                   // 69
    U16("Data that was being held in memory is stale and may not be accurate."),           // 70
    U16("File delete failed."),                                                            // 71
    U16("The OS platform is unsupported."),                                                // 72
    U16("The OS platform is unknown."),                                                    // 73
    U16("The specified file or directory name is invalid."),                               // 74
    U16("Unable to connect to server."),                                                   // 75
    U16("The server list is not available"),                                               // 76
    U16("The requested data is not available."),                                           // 77
    U16("Specified path or file is not a link."),                                          // 78
    U16("Link target is missing."),                                                        // 79
    U16("Feature or function has not yet been implemented."),                              // 80
    U16("The request is invalid."),                                                        // 81
    U16("An illogical condition has occurred."),                                           // 82
    U16("The maximum number of fatal signals has been received."),                         // 83
    U16("Existing credentials have already been authenticated.  Perform a logout before "
        "re-authenticating with new credentials."),             // 84
    U16("Not currently authenticated."),                        // 85
    U16("COM could not be initialized on the current thread."), // 86
    U16("COM has not been initialized on the current thread, but must be initialized to perform "
        "the requested operation."),                                                // 87
    U16("The requested name translation could not be performed."),                  // 88
    U16("There is a mismatch between Directory Services context types."),           // 89
    U16("Directory Services is not ready or is inaccessible on the local system."), // 90
    U16("The Directory Services server returned a referral."),                      // 91
    U16("A failure occurred while using a synchronization mechanism."),             // 92
    U16("Failed to create the specified file."),                                    // 93
    U16("Failed to create the specified symbolic link or junction point."),         // 94
    U16("Failed to load a library via late binding."),                              // 95
    U16("An API function could not be dynamically found in late-bound library."),   // 96
    U16("There is no security context to impersonate or to contain authenticated identity "
        "information."),                                     // 97
    U16("Cannot change type of existing security context."), // 98
    U16("The requested operation is not supported."),        // 99
    U16("The specified domain does not exist, or no domain controllers are available for the "
        "domain."),                                                                       // 100
    U16("The specified site does not exist, or the computer does not belong to a site."), // 101
    U16("Authentication failed."),                                                        // 102
    U16("Authentication failed due to an account restriction."),                          // 103
    U16("Authentication failed due to a logon time restriction."),                        // 104
    U16("Authentication failed due to a workstation or node restriction."),               // 105
    U16("Authentication failed due to account expiration."),                              // 106
    U16("Authentication failed due to logon rights not being granted to the account."),   // 107
    U16("Authentication failed due to server not reachable."),                            // 108
    U16("Authentication failed due to a password change required."),                      // 109
    U16("Authentication failed due to account lockout."),                                 // 110
    U16("Authentication failed due to insufficient logon information."),                  // 111
    U16("Authentication failed due to attempted use of trust account.  Use a normal user account "
        "instead."),                                                                     // 112
    U16("Authentication failed due to an authentication firewall failure."),             // 113
    U16("The specified password is invalid."),                                           // 114
    U16("The password change cannot be performed due to new password being too short."), // 115
    U16("The password change cannot be performed due to current password not having reached "
        "minimum password age."), // 116
    U16("The password change cannot be performed due to conflict with the password history."), // 117
    U16("The specified password change cannot be performed:  it fails to meet a password "
        "restriction."),                                                             // 118
    U16("The specified password is ill-formed."),                                    // 119
    U16("An incorrect old password was specified during a password change."),        // 120
    U16("Authentication / Logon attempt failed due to a logon server conflict."),    // 121
    U16("Authentication / Logon attempt failed due to the password being expired."), // 122
    U16("Authentication / Logon attempt failed due to the account being disabled."), // 123
    U16("Authentication / Logon attempt failed due to reaching the maximum # of logins or "
        "connections for this account."),                                     // 124
    U16("The specified account name is invalid or could not be found."),      // 125
    U16("Elevated privileges are required to perform the specified action."), // 126
    U16("The specified service name already exists in the SCM database as either a regular service "
        "or as a device driver."), // 127
    U16("The specified service name could not be found in the Service Control Manager database."), // 128
    U16("The specified service is already running."),                                         // 129
    U16("The specified service is not running."),                                             // 130
    U16("The specified password change cannot be performed:  user cannot change password."),  // 131
    U16("The specified account name could not be mapped to a SID or object ID value."),       // 132
    U16("The specified security principal may not be assigned as the owner of this object."), // 133
    U16("The specified security principal may not be assigned as the primary group of this "
        "object."),                                                        // 134
    U16("The specified privilege does not exist."),                        // 135
    U16("A required privilege is not held by the client or account."),     // 136
    U16("A function pointer was not provided for the thread to execute."), // 137
    U16("A local error occurred within the LDAP client."),                 // 138
    U16("Specified path or file is a link."),                              // 139
    U16("The disk is full due to a lack of free disk space or possibly a directory/user quota "
        "limitation."),                                                     // 140
    U16("The specified name could not be resolved by the network client."), // 141
    U16("The specified operation cannot be performed due to a busy state or condition.  Retry "
        "again later."),                                               // 142
    U16("The specified library could not be found for late-binding."), // 143
    U16("There is no existing connection to a server or tree that can be used to service this "
        "request."),                                                  // 144
    U16("The specified connection is not valid."),                    // 145
    U16("The Directory Services context is invalid."),                // 146
    U16("An access violation has occurred."),                         // 147
    U16("Volume already exists."),                                    // 148
    U16("Volume could not be found."),                                // 149
    U16("The specified file size is not valid."),                     // 150
    U16("A connection already exists to the specified resource."),    // 151
    U16("No connection currently exists to the specified resource."), // 152
    U16("The specified security context is not the security context that is currently being "
        "impersonated."),                                                                    // 153
    U16("The client/workstation's request is not allowed."),                                 // 154
    U16("Directory Services refused to service the request due to a constraint violation."), // 155
    U16("The directory copied failed because the source file count does not match the number of "
        "files that were copied."),                                                       // 156
    U16("The specified Directory Services class already exists."),                        // 157
    U16("An error occurred while creating a duplicate of an existing security context."), // 158
    U16("A relative path was specified where an absolute path is required, or an absolute path "
        "with invalid relative path elements was specified."), // 159
    U16("The security context is not an impersonation context; it may be based on a primary "
        "access-token and not an impersonation access-token."),      // 160
    U16("The security context has an invalid impersonation level."), // 161
    U16("The security context contains a restricted token [e.g. UAC is enabled & applied to this "
        "logon]."),                                                                          // 162
    U16("The current UAC settings will not allow the requested operation to be performed."), // 163
    U16("An unexpected network error has occurred."),                                        // 164
    U16("The specified network has been deleted."),                                          // 165
    U16("A file or directory was successfully copied/created, but one or more meta data items "
        "[e.g. owner, acl/trustees, attributes, etc...], could not be copied."),         // 166
    U16("Attempt to read past end of file occurred."),                                   // 167
    U16("The EOL sequence was found embedded within the data to be written to a file."), // 168
    U16("An unspecified FSRM error was returned by one of the IFsrm* COM interfaces."),  // 169
    U16("A directory quota does not exist for the specified path."),                     // 170
    U16("A directory quota already exists for the specified path."),                     // 171
    U16("The server or volume does not support directory quotas."),                      // 172
    U16("A root directory on a share, drive letter or volume was specified as the source or target "
        "of an operation that cannot process root directories."),                            // 173
    U16("A file system operation was attempted that cannot span across different volumes."), // 174
    U16("The specified COM class has not been registered on the system."),                   // 175
    U16("The RPC server is unavailable."),                                                   // 176
    U16("The RPC call failed."),                                                             // 177
    U16("The specified service is currently disabled."),                                     // 178
    U16("The specified file system entry is currently in use or locked by another thread or "
        "process."),                             // 179
    U16("The specified operation was aborted."), // 180
    U16("The COM security settings established with a call to CoInitializeSecurity() are in "
        "conflict with the settings required by this application."),                          // 181
    U16("The specified directory is not empty [and cannot be removed/deleted]."),             // 182
    U16("No NetBIOS name browsers available for the specified domain or workgroup."),         // 183
    U16("The specified operation cannot be performed on an encrypted file."),                 // 184
    U16("A mandatory attribute value was missing when creating an object."),                  // 185
    U16("The requested operation violates the Directory Services object containment rules."), // 186
    U16("The specified attribute value already exists."),                                     // 187
    U16("The specified attribute value was not found."),                                      // 188
    U16("The specified Directory Services partition already exists."),                        // 189
    U16("The specified Directory Services partition was not found."),                         // 190
    U16("The specified Directory Services partition replica already exists."),                // 191
    U16("The specified Directory Services partition replica was not found."),                 // 192
    U16("The specified object class is abstract or non-effective."),                          // 193
    U16("The specified object class has ambiguous naming."),                                  // 194
    U16("The specified object class has ambiguous containment."),                             // 195
    U16("eDirectory NWDSCCODE: ERR_SYSTEM_ERROR [-319]."),                                    // 196
    U16("eDirectory NWDSCCODE: RESOLVE_SVC_PARTIAL [0x889a]."),                               // 197
    U16("The specified data stream is invalid."),                                             // 198
    U16("The directory datatype cannot be converted to or from a native DS datatype."),       // 199
    U16("The specified name space is invalid."),                                              // 200
    U16("The specified drive letter or mapped path is invalid."),                             // 201
    U16("The specified network resoruce or drive letter belongs to a different network provider."), // 202
    U16("The specified drive letter is currently in use."),                              // 203
    U16("The requested operation violates the Directory Services object naming rules."), // 204
    U16("The specified path is not located under any of the DFS links in the DFS root name space."), // 205
    U16("The specified DFS link has no target folders."),       // 206
    U16("The specified DFS link has multiple target folders."), // 207
    U16("The specified path is located under a WinNT v4 legacy DFS share and is not supported."), // 208
    U16("The specified path is not a file."),      // 209
    U16("The specified path is not a directory."), // 210
    U16("The specified operation cannot be performed when migrating between different file system "
        "environments."),                                                                 // 211
    U16("The specified network could not be resolved."),                                  // 212
    U16("The specified computer is not a member of a domain [or the specified domain]."), // 213
    U16("The specified file system lock could not be obtained due to a deadlock."),       // 214
    U16("A value exceeds the allowable range of values, or an overflow/underflow condition has "
        "occurred."),                                                                 // 215
    U16("Buffer has a value in it that is too large to be processed."),               // 216
    U16("Invalid configuration data."),                                               // 217
    U16("The specified data cannot be converted to a string format."),                // 218
    U16("Invalid pointer value."),                                                    // 219
    U16("Too many files are open concurrently."),                                     // 220
    U16("No more files were found."),                                                 // 221
    U16("The property set is mismatched."),                                           // 222
    U16("A property store method or function returned an unspecified error."),        // 223
    U16("The specified property name is not valid in the specified property store."), // 224
};
static_assert(std::size(CatalogueMessages) == StatusLastCatalogued + 1,
              "one message for each code without gaps");

} // namespace

void BuildStatusCatalogue() {
    StatusCatalogue.clear();
    for (StatusCode code = 0; code < static_cast<StatusCode>(std::size(CatalogueMessages));
         ++code) {
        StatusCatalogue[code] = CatalogueMessages[code];
    }
}

bool GetStatusMessage(StatusCode code, WString& text) {
    text.clear();
    auto found = StatusCatalogue.find(code);
    if (found != StatusCatalogue.end()) {
        text = found->second;
        return true;
    }
    text = U16("Unknown status code: ");
    AppendDecimal(text, code);
    text += U16('.');
    return false;
}

WString StatusMessageOf(StatusCode code) {
    WString text;
    GetStatusMessage(code, text);
    return text;
}

const WString* FindStatusMessage(StatusCode code) {
    const auto found = StatusCatalogue.find(code);
    return found != StatusCatalogue.end() ? &found->second : nullptr;
}

bool IsUnknownStatusCode(StatusCode code) {
    return StatusCatalogue.find(code) == StatusCatalogue.end();
}

void FormatDecimal(std::int32_t value, DecimalText& text) {
    // Work on the magnitude as unsigned, so INT32_MIN needs no special case.
    std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    WCHAR reversed[10];
    int count = 0;
    do {
        reversed[count++] = static_cast<WCHAR>(U16('0') + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int length = 0;
    if (value < 0) {
        text[length++] = U16('-');
    }
    while (count > 0) {
        text[length++] = reversed[--count];
    }
    text[length] = 0;
}

void AppendDecimal(WString& text, std::int32_t value) {
    DecimalText digits;
    FormatDecimal(value, digits);
    text += digits;
}
