#pragma once
// The server link: one TCP connection.
