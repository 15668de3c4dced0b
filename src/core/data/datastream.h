#pragma once

// The value reader and writer of the collection file.  Model objects read and
// write their own records through them (ReadFromStream / WriteToStream).
class TDataReader;
class TDataWriter;
